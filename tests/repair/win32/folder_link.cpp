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

bool IsLink(const std::filesystem::path& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

bool IsGone(const std::filesystem::path& path) {
    return ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

// Wine may report a Linux program as ended before its work shows: poll for the outcome.
template <typename Condition>
bool Eventually(Condition condition) {
    for (int i = 0; i < 500 && !condition(); ++i) {
        ::Sleep(10);
    }
    return condition();
}

// Runs a Linux program under Wine; false if it could not be started.
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
    made_ = Eventually([&] { return IsLink(link_); });
}

FolderLink::~FolderLink() {
    if (const auto unixLink = UnixPathOf(link_)) {
        RunLinux(L"Z:\\bin\\rm", " -f -- \"" + *unixLink + "\"");
        Eventually([&] { return IsGone(link_); });
    } else {
        ::RemoveDirectoryW(link_.c_str());
    }
}

}  // namespace velstrand::testing
