#include "platform/win32/file_system_path.h"

#include <windows.h>

#include "platform/extended_length_path.h"

namespace velstrand {

namespace {

std::wstring CurrentFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
        // Too small a buffer gives the size needed, its null included.
        if (length < folder.size()) {
            folder.resize(length);
            return folder;
        }
        folder.resize(length);
    }
}

}  // namespace

std::optional<std::wstring> FileSystemPath(const std::wstring& path) {
    return ExtendedLengthPath(path, CurrentFolder());
}

}  // namespace velstrand
