#include "platform/folder_of.h"

namespace velstrand {

std::wstring FolderOf(const std::wstring& filePath) {
    const std::size_t separator = filePath.find_last_of(L'\\');
    if (separator == std::wstring::npos) {
        return std::wstring();
    }
    // A colon can only stand before a backslash in a drive's name ("C:\", "\\?\C:\").
    const bool atDriveRoot = separator > 0 && filePath[separator - 1] == L':';
    return filePath.substr(0, atDriveRoot ? separator + 1 : separator);
}

std::wstring FileNameOf(const std::wstring& path) {
    const std::size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

}  // namespace velstrand
