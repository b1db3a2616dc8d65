#include "test_files.h"

#include <windows.h>

#include <algorithm>
#include <fstream>

#include "utf8_text.h"

namespace velstrand::testing {

void WriteFile(const fs::path& path, std::string_view content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

void SetHidden(const fs::path& path) {
    ::SetFileAttributesW(path.c_str(), ::GetFileAttributesW(path.c_str()) | FILE_ATTRIBUTE_HIDDEN);
}

std::set<fs::path> FilesBelow(const fs::path& root) {
    std::set<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files.insert(fs::relative(entry.path(), root));
        }
    }
    return files;
}

std::wstring FileSystemOf(const fs::path& path) {
    const UniqueFileHandle entry(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    wchar_t name[MAX_PATH + 1] = {};
    if (!entry ||
        !::GetVolumeInformationByHandleW(entry.Get(), nullptr, 0, nullptr, nullptr, nullptr, name, MAX_PATH + 1)) {
        return std::wstring();
    }
    return name;
}

fs::path BuildPath(std::string_view path) {
    std::wstring windows = FromUtf8(path);
    std::replace(windows.begin(), windows.end(), L'/', L'\\');
    // Under Wine the Linux file system is drive Z:.
    if (!windows.empty() && windows.front() == L'\\') {
        windows.insert(0, L"Z:");
    }
    return fs::path(windows);
}

fs::path BuiltFile(std::string_view relative) {
    const fs::path below = fs::path(std::wstring(relative.begin(), relative.end())).make_preferred();
    const fs::path own = fs::path(OwnPath()).parent_path();
    for (fs::path folder = own;; folder = folder.parent_path()) {
        if (fs::exists(folder / below)) {
            return folder / below;
        }
        if (folder == folder.parent_path()) {
            // Not built: named where the test's failure will show it.
            return own / below;
        }
    }
}

fs::path SystemFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    folder.resize(::GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size())));
    return fs::path(folder);
}

void CopySystemTaskkill(const fs::path& folder) {
    const fs::path system = SystemFolder();
    fs::create_directories(folder);
    fs::copy_file(system / L"taskkill.exe", folder / L"taskkill.exe");
    std::error_code ignored;
    for (const auto& entry : fs::directory_iterator(system, ignored)) {
        const fs::path messages = entry.path() / L"taskkill.exe.mui";
        if (entry.is_directory(ignored) && fs::exists(messages, ignored)) {
            fs::create_directories(folder / entry.path().filename());
            fs::copy_file(messages, folder / entry.path().filename() / L"taskkill.exe.mui");
        }
    }
}

std::wstring CurrentFolder() {
    std::wstring folder(32768, L'\0');
    folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return folder;
}

std::wstring OwnPath() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

}  // namespace velstrand::testing
