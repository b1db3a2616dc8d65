#pragma once

#include <windows.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace velstrand::e2e {

namespace fs = std::filesystem;

// Polls `condition` every few milliseconds until it holds or `timeout` has passed; true if it held.
template <typename Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// A path that the build wrote, "/x/y" under Wine or "C:/x/y" on Windows, as this process can open it.
fs::path BuildPath(std::string_view path);
// The system's own folder (C:\windows\system32), where taskkill.exe lives.
fs::path SystemFolder();
// The current time as a file time, comparable with what another process on this machine reads.
unsigned long long PreciseNow();

// A fresh folder under the temporary folder, deleted with everything in it when the object goes.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const fs::path& Path() const { return path_; }

  private:
    fs::path path_;
};

void WriteFile(const fs::path& path, std::string_view content = "leftover");
void SetHidden(const fs::path& path);
// Every file below `root`, as paths relative to it.
std::set<fs::path> FilesBelow(const fs::path& root);
// The "key=value" lines of a small text file; empty when it cannot be read.
std::optional<std::string> ReadValue(const fs::path& file, std::string_view key);

// One value under HKEY_CURRENT_USER, put back as it was (or deleted) when the object goes.
class ScopedRegistryValue {
  public:
    ScopedRegistryValue(std::wstring subKey, std::wstring name);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

    void SetString(const std::wstring& text);
    void SetDword(DWORD value);
    void Delete();

  private:
    std::wstring subKey_;
    std::wstring name_;
    bool existed_ = false;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> data_;
};

// Whether any process on this machine runs from an image named `imageName` (compared ignoring case).
bool ProcessRunning(const std::wstring& imageName);

// A process this test started; ended when the object goes if it is still running.
class ChildProcess {
  public:
    ChildProcess(const fs::path& program, const fs::path& currentFolder);
    ~ChildProcess();
    ChildProcess(ChildProcess&&) = default;
    ChildProcess& operator=(ChildProcess&&) = default;

    bool Started() const { return static_cast<bool>(process_); }
    DWORD Id() const { return id_; }
    bool HasEnded() const;
    bool WaitForEnd(std::chrono::milliseconds timeout) const;
    void End();

  private:
    UniqueKernelHandle process_;
    DWORD id_ = 0;
};

}  // namespace velstrand::e2e
