#include "folder_link.h"

#include <windows.h>

#include <optional>
#include <string>

namespace velstrand::testing {

namespace {

using UnixFileName = char* (*)(const wchar_t*);

// The Linux path of a Windows path, when running under Wine.
std::optional<std::string> UnixPathOf(const std::filesystem::path& path) {
    const auto convert = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (convert == nullptr) {
        return std::nullopt;
    }
    char* unix = convert(path.c_str());
    if (unix == nullptr) {
        return std::nullopt;
    }
    std::string result(unix);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

// Runs a Linux program under Wine and waits for it; true if it exited with 0 or could not say.
bool RunLinux(const wchar_t* program, const std::string& arguments) {
    std::wstring commandLine = program + std::wstring(arguments.begin(), arguments.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return false;
    }
    ::CloseHandle(info.hThread);
    ::WaitForSingleObject(info.hProcess, 10000);
    ::CloseHandle(info.hProcess);
    return true;
}

}  // namespace

FolderLink::FolderLink(std::filesystem::path link, const std::filesystem::path& target) : link_(std::move(link)) {
    const auto unixLink = UnixPathOf(link_);
    const auto unixTarget = UnixPathOf(target);
    if (unixLink && unixTarget) {
        RunLinux(L"Z:\\bin\\ln", " -s -- \"" + *unixTarget + "\" \"" + *unixLink + "\"");
    } else {
        ::CreateSymbolicLinkW(link_.c_str(), target.c_str(),
                              SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    }
    const DWORD attributes = ::GetFileAttributesW(link_.c_str());
    made_ = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

FolderLink::~FolderLink() {
    if (const auto unixLink = UnixPathOf(link_)) {
        RunLinux(L"Z:\\bin\\rm", " -f -- \"" + *unixLink + "\"");
    } else {
        ::RemoveDirectoryW(link_.c_str());
    }
}

}  // namespace velstrand::testing
