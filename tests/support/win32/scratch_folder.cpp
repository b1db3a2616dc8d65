#include "scratch_folder.h"

#include <windows.h>

#include <atomic>
#include <vector>

#include "platform/win32/unique_handle.h"
#include "wait_until.h"

namespace velstrand::testing {

namespace {

// Depth first, never following a link: a folder link is removed as the link it is. `path` is in the file system's
// own "\\?\" spelling, so that a folder "foo." is removed as itself and never as the "foo" beside it.
void RemoveTree(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    ::SetFileAttributesW(path.c_str(),
                         attributes & ~FILE_ATTRIBUTE_READONLY & ~FILE_ATTRIBUTE_HIDDEN & ~FILE_ATTRIBUTE_SYSTEM);
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        ::DeleteFileW(path.c_str());
        return;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
        std::vector<std::wstring> children;
        WIN32_FIND_DATAW data;
        UniqueFindHandle find(::FindFirstFileW((path + L"\\*").c_str(), &data));
        if (find) {
            do {
                const std::wstring name = data.cFileName;
                if (name != L"." && name != L"..") {
                    children.push_back(path + L"\\" + name);
                }
            } while (::FindNextFileW(find.Get(), &data));
        }
        find.Reset();
        for (const std::wstring& child : children) {
            RemoveTree(child);
        }
    }
    ::RemoveDirectoryW(path.c_str());
}

}  // namespace

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() / (L"velstrand-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                         std::to_wstring(::GetTickCount64()) + L"-" + std::to_wstring(++counter));
    fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    // A helper program that has just ended may hold its file for a moment longer.
    WaitUntil(
        [this] {
            // In the extended form: a test may have made paths longer than Windows allows a plain path.
            RemoveTree(L"\\\\?\\" + path_.wstring());
            return ::GetFileAttributesW(path_.c_str()) == INVALID_FILE_ATTRIBUTES;
        },
        std::chrono::milliseconds(3000));
}

}  // namespace velstrand::testing
