#include "platform/win32/win32_services.h"

#include <algorithm>

#include "platform/win32/file_system_path.h"
#include "platform/win32/helper_start.h"
#include "platform/win32/message_box.h"
#include "platform/win32/process_wait.h"
#include "platform/win32/program_folder.h"
#include "platform/win32/program_start.h"
#include "platform/win32/wsh_registry.h"

namespace velstrand {

namespace {

ULONGLONG DeadlineAfter(std::chrono::milliseconds bound) {
    return ::GetTickCount64() + static_cast<ULONGLONG>(std::max<long long>(bound.count(), 0));
}

// Whether the entry opens, following it if it is a link, as a listing of it would.
bool OpensFollowingLinks(const std::wstring& onDisk) {
    const UniqueFileHandle entry(::CreateFileW(onDisk.c_str(), FILE_READ_ATTRIBUTES,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return static_cast<bool>(entry);
}

}  // namespace

std::optional<std::wstring> Win32Services::FindFirstName(const std::wstring& pattern, ListingFilter filter) {
    // Between folders: a sweep of a large game folder on a slow disk takes a while.
    upkeep_.IfDue();
    // A new listing means the deletions of the last one are done.
    deletions_.LetGo();
    return listing_.First(pattern, filter);
}

std::optional<std::wstring> Win32Services::FindNextName() {
    return listing_.Next();
}

std::optional<std::uint32_t> Win32Services::GetAttributes(const std::wstring& path) {
    if (const auto listed = listing_.AttributesOfLastReturned(path)) {
        return listed;
    }
    const std::optional<std::wstring> onDisk = FileSystemPath(path);
    if (!onDisk) {
        return std::nullopt;
    }
    const DWORD attributes = ::GetFileAttributesW(onDisk->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return std::nullopt;
    }
    // Windows still reports a junction whose target is gone as a folder: the game moved to a disk that is not
    // plugged in. An entry that does not open, such a link or a folder this tool may not enter, is no entry a
    // repair can work in, so it has no attributes either.
    if (!OpensFollowingLinks(*onDisk)) {
        return std::nullopt;
    }
    return attributes;
}

Removal Win32Services::RemoveFile(const std::wstring& folder, const std::wstring& below) {
    upkeep_.IfDue();
    // No attribute is cleared first: a read-only file is one the user meant to keep.
    listing_.ForgetSnapshot();
    return deletions_.Remove(folder, below);
}

bool Win32Services::StartProgram(const std::wstring& commandLine, StartStyle style) {
    // The game it starts may update itself, moving its own folders.
    deletions_.LetGo();
    return StartDetached(commandLine, style, messageOwner_).started;
}

HelperStart Win32Services::StartHelper(const std::wstring& commandLine) {
    HelperStarted started = StartSystemCopy(commandLine, SystemFolderPath(), messageOwner_);
    // Empty when the shell started it: that start cannot be waited for.
    helper_ = std::move(started.process);
    return started.outcome;
}

void Win32Services::WaitUntilEnded(std::span<const std::wstring_view> imageNames, std::chrono::milliseconds bound) {
    const ULONGLONG deadline = DeadlineAfter(bound);
    // The helper first: until it has ended, the processes it is to end may still look alive.
    if (helper_) {
        if (!WaitKeepingWindowsPainted(helper_.Get(), deadline)) {
            return;
        }
        helper_.Reset();
    }
    WaitForProcessesNamed(imageNames, deadline);
}

void Win32Services::WaitForHelper(std::chrono::milliseconds bound) {
    if (helper_ && WaitKeepingWindowsPainted(helper_.Get(), DeadlineAfter(bound))) {
        helper_.Reset();
    }
}

void Win32Services::ShowMessage(const std::wstring& text) {
    // Whatever the box says, the player may go on with their folders while it is up.
    deletions_.LetGo();
    // A key pressed while the run worked waits for the next window that takes keys: this box, which it would
    // dismiss the moment it showed.
    DropQueuedInput();
    ShowMessageBox(messageOwner_, text);
}

std::wstring Win32Services::ProgramFolder() {
    return RunningProgramFolder();
}

std::optional<std::wstring> Win32Services::ReadRegistryString(const std::wstring& name) {
    return ReadRegistryThroughWshShell(name);
}

}  // namespace velstrand
