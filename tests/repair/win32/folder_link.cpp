#include "folder_link.h"

#include <windows.h>

#include <optional>
#include <string>

#include "platform/win32/system_library.h"
#include "platform/win32/unique_handle.h"
#include "wait_until.h"

namespace velstrand::testing {

namespace {

// Wine may report a Linux program as ended before its work shows.
constexpr std::chrono::milliseconds kLinuxProgramGrace{5000};

using UnixFileName = char* (*)(const wchar_t*);

// The Linux path of a Windows path, when running under Wine.
std::optional<std::string> UnixPathOf(const std::filesystem::path& path) {
    const auto convert = ExportOf<UnixFileName>(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
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

// Runs a Linux program under Wine; false if it could not be started.
bool RunLinux(const wchar_t* program, const std::string& arguments) {
    std::wstring commandLine = program + std::wstring(arguments.begin(), arguments.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return false;
    }
    const UniqueKernelHandle thread(info.hThread);
    const UniqueKernelHandle process(info.hProcess);
    ::WaitForSingleObject(process.Get(), 10000);
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
    made_ = WaitUntil([&] { return IsLink(link_); }, kLinuxProgramGrace);
}

FolderLink::~FolderLink() {
    if (const auto unixLink = UnixPathOf(link_)) {
        RunLinux(L"Z:\\bin\\rm", " -f -- \"" + *unixLink + "\"");
        WaitUntil([&] { return IsGone(link_); }, kLinuxProgramGrace);
    } else {
        ::RemoveDirectoryW(link_.c_str());
    }
}

}  // namespace velstrand::testing
