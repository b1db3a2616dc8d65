#include "e2e_support.h"

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <sstream>

namespace velstrand::e2e {

fs::path BuildPath(std::string_view path) {
    std::wstring windows(path.begin(), path.end());
    std::replace(windows.begin(), windows.end(), L'/', L'\\');
    // Under Wine the Linux file system is drive Z:.
    if (!windows.empty() && windows.front() == L'\\') {
        windows.insert(0, L"Z:");
    }
    return fs::path(windows);
}

fs::path SystemFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    folder.resize(::GetSystemDirectoryW(folder.data(), static_cast<UINT>(folder.size())));
    return fs::path(folder);
}

unsigned long long PreciseNow() {
    FILETIME now{};
    ::GetSystemTimePreciseAsFileTime(&now);
    return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

ScratchFolder::ScratchFolder() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            (L"velstrand-app-" + std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++counter));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void WriteFile(const fs::path& path, std::string_view content) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << content;
}

void SetHidden(const fs::path& path) {
    ::SetFileAttributesW(path.c_str(), ::GetFileAttributesW(path.c_str()) | FILE_ATTRIBUTE_HIDDEN);
}

std::set<fs::path> FilesBelow(const fs::path& root) {
    std::set<fs::path> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files.insert(fs::relative(entry.path(), root));
        }
    }
    return files;
}

std::optional<std::string> ReadValue(const fs::path& file, std::string_view key) {
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (line.size() > key.size() && line.compare(0, key.size(), key) == 0 && line[key.size()] == '=') {
            return line.substr(key.size() + 1);
        }
    }
    return std::nullopt;
}

ScopedRegistryValue::ScopedRegistryValue(std::wstring subKey, std::wstring name)
    : subKey_(std::move(subKey)), name_(std::move(name)) {
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, subKey_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_, nullptr,
                       &size) == ERROR_SUCCESS) {
        data_.resize(size);
        existed_ = ::RegGetValueW(HKEY_CURRENT_USER, subKey_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_,
                                  data_.data(), &size) == ERROR_SUCCESS;
        data_.resize(size);
    }
}

ScopedRegistryValue::~ScopedRegistryValue() {
    if (existed_) {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, subKey_.c_str(), name_.c_str(), type_, data_.data(),
                          static_cast<DWORD>(data_.size()));
    } else {
        Delete();
    }
}

void ScopedRegistryValue::SetString(const std::wstring& text) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, subKey_.c_str(), name_.c_str(), REG_SZ, text.c_str(),
                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void ScopedRegistryValue::SetDword(DWORD value) {
    ::RegSetKeyValueW(HKEY_CURRENT_USER, subKey_.c_str(), name_.c_str(), REG_DWORD, &value, sizeof(value));
}

void ScopedRegistryValue::Delete() {
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, subKey_.c_str(), name_.c_str());
}

bool ProcessRunning(const std::wstring& imageName) {
    const UniqueKernelHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot || snapshot.Get() == INVALID_HANDLE_VALUE) {
        return false;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry)) {
        if (::_wcsicmp(entry.szExeFile, imageName.c_str()) == 0) {
            return true;
        }
    }
    return false;
}

ChildProcess::ChildProcess(const fs::path& program, const fs::path& currentFolder) {
    std::wstring commandLine = L"\"" + program.wstring() + L"\"";
    // Standard output and error go nowhere, nor do those of the programs it starts (taskkill's report would
    // otherwise fill the test's log).
    SECURITY_ATTRIBUTES inheritable{sizeof(inheritable), nullptr, TRUE};
    const UniqueKernelHandle nowhere(::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                                   FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING, 0,
                                                   nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nowhere.Get();
    startup.hStdOutput = nowhere.Get();
    startup.hStdError = nowhere.Get();
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                         currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &info)) {
        ::CloseHandle(info.hThread);
        process_.Reset(info.hProcess);
        id_ = info.dwProcessId;
    }
}

ChildProcess::~ChildProcess() {
    End();
}

bool ChildProcess::HasEnded() const {
    return WaitForEnd(std::chrono::milliseconds(0));
}

bool ChildProcess::WaitForEnd(std::chrono::milliseconds timeout) const {
    return !process_ || ::WaitForSingleObject(process_.Get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

void ChildProcess::End() {
    if (process_ && !HasEnded()) {
        ::TerminateProcess(process_.Get(), 1);
        ::WaitForSingleObject(process_.Get(), 5000);
    }
}

}  // namespace velstrand::e2e
