#include "platform/win32/program_folder.h"

#include <windows.h>

namespace velstrand {

std::wstring RunningProgramPath(std::size_t firstBufferSize) {
    std::wstring path(firstBufferSize == 0 ? 1 : firstBufferSize, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::wstring();
        }
        // A path that does not fit is cut short and fills the buffer exactly.
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring FolderOf(const std::wstring& filePath) {
    const std::size_t separator = filePath.find_last_of(L'\\');
    if (separator == std::wstring::npos) {
        return std::wstring();
    }
    // A colon can only stand before a backslash in a drive's name ("C:\", "\\?\C:\").
    const bool atDriveRoot = separator > 0 && filePath[separator - 1] == L':';
    return filePath.substr(0, atDriveRoot ? separator + 1 : separator);
}

std::wstring RunningProgramFolder() {
    return FolderOf(RunningProgramPath());
}

}  // namespace velstrand
