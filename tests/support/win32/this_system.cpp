#include "this_system.h"

#include <windows.h>

#include "platform/win32/system_library.h"
#include "platform/win32/unique_handle.h"

namespace velstrand::testing {

bool UnderWine() {
    // Wine's ntdll exports its version; Windows' has no such export.
    return ExportOf<const char* (*)()>(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

Rights RightsOfThisProcess() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return Rights::Standard;
    }
    const UniqueKernelHandle owned(token);
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    ::GetTokenInformation(token, TokenElevationType, &type, sizeof(type), &size);
    ::GetTokenInformation(token, TokenElevation, &elevation, sizeof(elevation), &size);
    if (type == TokenElevationTypeLimited) {
        return Rights::NotElevatedAdministrator;
    }
    return elevation.TokenIsElevated != 0 ? Rights::Elevated : Rights::Standard;
}

}  // namespace velstrand::testing
