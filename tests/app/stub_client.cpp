// Stands in for a game client. It writes "<its own path>.started" with the show command it was given and the
// time it started, then ends: a test can tell which client ran, how, and whether it ran after a given moment.

#include <windows.h>

#include <cstdint>
#include <string>

namespace {

std::wstring OwnPath() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

bool WriteWhole(const std::wstring& path, const std::string& text) {
    const HANDLE file =
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const bool ok =
        ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size();
    ::CloseHandle(file);
    return ok;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    FILETIME now{};
    ::GetSystemTimePreciseAsFileTime(&now);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const std::string record = "cmdshow=" + std::to_string(showCommand) + "\ntime=" + std::to_string(ticks) + "\n";
    // Complete under another name first, so that a reader never sees half a record.
    const std::wstring marker = OwnPath() + L".started";
    if (!WriteWhole(marker + L".partial", record) ||
        !::MoveFileExW((marker + L".partial").c_str(), marker.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        return 1;
    }
    return 0;
}
