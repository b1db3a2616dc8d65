#include "platform/win32/win32_services.h"

#include "platform/win32/file_system_path.h"
#include "platform/win32/message_box.h"
#include "platform/win32/program_folder.h"
#include "platform/win32/program_start.h"
#include "platform/win32/wsh_registry.h"

namespace velstrand {

namespace {
constexpr DWORD kHelperGraceMilliseconds = 10'000;
}  // namespace

std::optional<std::wstring> Win32Services::FindFirstName(const std::wstring& pattern, ListingFilter filter) {
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
    return attributes;
}

bool Win32Services::RemoveFile(const std::wstring& path) {
    // No attribute is cleared first: a read-only file is one the user meant to keep.
    listing_.ForgetSnapshot();
    const std::optional<std::wstring> onDisk = FileSystemPath(path);
    return onDisk && ::DeleteFileW(onDisk->c_str()) != FALSE;
}

bool Win32Services::StartProgram(const std::wstring& commandLine, StartStyle style) {
    // taskkill ends "DNFChina.exe" whatever its letter case, so the client a run starts would be among its victims
    // if the user dismissed the completion message before taskkill had looked at the processes. The helper is
    // never waited for while it works beside the run; it is given a bounded moment only before a visible program
    // starts.
    if (helper_ && style != StartStyle::Hidden) {
        ::WaitForSingleObject(helper_.Get(), kHelperGraceMilliseconds);
        helper_.Reset();
    }
    StartedProgram started = StartDetached(commandLine, style, messageOwner_);
    if (started.started && style == StartStyle::Hidden) {
        // Empty when the shell started it: that start is never waited for.
        helper_ = std::move(started.process);
    }
    return started.started;
}

void Win32Services::ShowMessage(const std::wstring& text) {
    ShowMessageBox(messageOwner_, text);
}

std::wstring Win32Services::ProgramFolder() {
    return RunningProgramFolder();
}

std::optional<std::wstring> Win32Services::ReadRegistryString(const std::wstring& name) {
    return ReadRegistryThroughWshShell(name);
}

}  // namespace velstrand
