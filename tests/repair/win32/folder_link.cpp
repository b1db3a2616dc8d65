#include "folder_link.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>
#include <winioctl.h>

#include "platform/win32/system_library.h"
#include "platform/win32/unique_handle.h"
#include "test_files.h"
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

// A junction, which any user may make (a symbolic link needs an administrator or developer mode). Its reparse data
// holds the target's NT name and its printed name, each ended by a null.
void MakeJunction(const std::filesystem::path& link, const std::filesystem::path& target) {
    if (!::CreateDirectoryW(link.c_str(), nullptr)) {
        return;
    }
    const UniqueFileHandle handle(::CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!handle) {
        return;
    }
    const std::wstring printed = std::filesystem::absolute(target).wstring();
    const std::wstring names = L"\\??\\" + printed + L'\0' + printed + L'\0';
    const auto bytes = [](std::size_t characters) { return static_cast<WORD>(characters * sizeof(wchar_t)); };
    const WORD header[] = {bytes(0), bytes(printed.size() + 4), bytes(printed.size() + 5), bytes(printed.size())};
    const WORD dataLength = static_cast<WORD>(sizeof(header) + bytes(names.size()));
    std::vector<BYTE> data(sizeof(DWORD) + 2 * sizeof(WORD));
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(data.data(), &tag, sizeof(tag));
    std::memcpy(data.data() + sizeof(tag), &dataLength, sizeof(dataLength));
    data.insert(data.end(), reinterpret_cast<const BYTE*>(header),
                reinterpret_cast<const BYTE*>(header) + sizeof(header));
    data.insert(data.end(), reinterpret_cast<const BYTE*>(names.data()),
                reinterpret_cast<const BYTE*>(names.data()) + bytes(names.size()));
    DWORD returned = 0;
    ::DeviceIoControl(handle.Get(), FSCTL_SET_REPARSE_POINT, data.data(), static_cast<DWORD>(data.size()), nullptr, 0,
                      &returned, nullptr);
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

FolderLink::FolderLink(std::filesystem::path link, const std::filesystem::path& target, LinkTo kind)
    : link_(std::move(link)), kind_(kind) {
    const auto unixLink = UnixPathOf(link_);
    const auto unixTarget = UnixPathOf(target);
    if (unixLink && unixTarget) {
        RunLinux(L"Z:\\bin\\ln", " -s -- \"" + *unixTarget + "\" \"" + *unixLink + "\"");
    } else if (kind_ == LinkTo::Folder) {
        MakeJunction(link_, target);
    } else {
        ::CreateSymbolicLinkW(link_.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    }
    // Wine lists a link to a file as the file it leads to.
    made_ = WaitUntil([&] { return kind_ == LinkTo::Folder ? IsLink(link_) : !IsGone(link_); }, kLinuxProgramGrace);
}

FolderLink::~FolderLink() {
    if (const auto unixLink = UnixPathOf(link_)) {
        RunLinux(L"Z:\\bin\\rm", " -f -- \"" + *unixLink + "\"");
        WaitUntil([&] { return IsGone(link_); }, kLinuxProgramGrace);
    } else if (kind_ == LinkTo::Folder) {
        ::RemoveDirectoryW(link_.c_str());
    } else {
        ::DeleteFileW(link_.c_str());
    }
}

}  // namespace velstrand::testing
