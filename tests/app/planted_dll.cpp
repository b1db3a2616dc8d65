// Stands in for a DLL that someone left beside the tool under the name of a system DLL. Should it ever be
// loaded, it leaves "<its own path>.loaded" and refuses to load, so that none of it runs in the tool.

#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) {
        return TRUE;
    }
    std::wstring marker(32768, L'\0');
    marker.resize(::GetModuleFileNameW(instance, marker.data(), static_cast<DWORD>(marker.size())));
    marker += L".loaded";
    const HANDLE file =
        ::CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        ::CloseHandle(file);
    }
    return FALSE;
}
