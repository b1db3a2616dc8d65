#include "platform/win32/program_folder.h"

#include <windows.h>

#include "platform/folder_of.h"
#include "platform/growing_read.h"

namespace velstrand {

std::wstring RunningProgramFolder() {
    return FolderOf(ReadGrowing([](wchar_t* buffer, std::size_t size) -> std::size_t {
        return ::GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(size));
    }));
}

}  // namespace velstrand
