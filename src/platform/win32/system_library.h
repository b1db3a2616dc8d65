#pragma once

#include <windows.h>

#include "platform/win32/unique_handle.h"

namespace velstrand {

// An export of `module` as the function type it has; nullptr when the module or the export is missing. The
// detour through void(*)() is the one function pointer cast that -Wcast-function-type accepts.
template <typename Function>
Function ExportOf(HMODULE module, const char* name) {
    return module == nullptr ? nullptr
                             : reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

// A DLL of Windows' own, taken from system32 alone whatever lies beside the program, and kept loaded until the
// object goes. What the program uses of such a DLL is loaded this way, not through the import table, which holds
// Windows' KnownDLLs only: the loader reads the import table before any code of the program can restrict the
// search.
class SystemLibrary {
  public:
    explicit SystemLibrary(const wchar_t* name)
        : module_(::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {}

    template <typename Function>
    Function Export(const char* name) const {
        return ExportOf<Function>(module_.Get(), name);
    }

  private:
    UniqueModule module_;
};

}  // namespace velstrand
