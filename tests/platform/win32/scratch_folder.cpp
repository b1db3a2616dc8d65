#include "scratch_folder.h"

#include <windows.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/win32/program_folder.h"

namespace velstrand::testing {

namespace {

std::wstring TemporaryFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, buffer);
    std::wstring folder(buffer, length);
    while (!folder.empty() && folder.back() == L'\\') {
        folder.pop_back();
    }
    return folder;
}

// Depth first, never following a link: a folder link is removed as the link it is.
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
        WIN32_FIND_DATAW data;
        UniqueFindHandle find(::FindFirstFileW((path + L"\\*").c_str(), &data));
        std::vector<std::wstring> children;
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
    path_ = TemporaryFolder() + L"\\velstrand-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
            std::to_wstring(::GetTickCount64()) + L"-" + std::to_wstring(++counter);
    MakeFolders(path_);
}

ScratchFolder::~ScratchFolder() {
    // A helper program that has just ended may hold its file for a moment longer.
    WaitUntil(
        [this] {
            RemoveTree(path_);
            return !FileExists(path_);
        },
        std::chrono::milliseconds(3000));
}

void MakeFolders(const std::wstring& path) {
    if (::CreateDirectoryW(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS) {
        return;
    }
    const std::size_t separator = path.find_last_of(L'\\');
    if (separator != std::wstring::npos && separator > 0) {
        MakeFolders(path.substr(0, separator));
        ::CreateDirectoryW(path.c_str(), nullptr);
    }
}

void WriteTextFile(const std::wstring& path, const std::wstring& text) {
    UniqueFileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return;
    }
    DWORD written = 0;
    ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
}

std::optional<std::wstring> ReadTextFile(const std::wstring& path) {
    UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        return std::nullopt;
    }
    std::wstring text;
    wchar_t buffer[1024];
    DWORD read = 0;
    while (::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        text.append(buffer, read / sizeof(wchar_t));
    }
    return text;
}

bool FileExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring TestProgramFolder() {
    return RunningProgramFolder();
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

}  // namespace velstrand::testing
