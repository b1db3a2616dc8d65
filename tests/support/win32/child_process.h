#pragma once

#include <windows.h>

#include <tlhelp32.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/win32/unique_handle.h"

namespace velstrand::testing {

namespace fs = std::filesystem;

// A process this test started; ended when the object goes if it is still running. Its standard handles, and
// those of the programs it starts, go nowhere (taskkill's report would otherwise fill the test's log), or its output
// and errors into `outputFile` when one is given.
class ChildProcess {
  public:
    ChildProcess(const fs::path& program,
                 const fs::path& currentFolder,
                 const std::wstring& arguments = L"",
                 const fs::path& outputFile = {});
    ~ChildProcess();
    ChildProcess(ChildProcess&&) = default;
    ChildProcess& operator=(ChildProcess&&) = default;

    bool Started() const { return static_cast<bool>(process_); }
    // Why it did not start; ERROR_SUCCESS when it did.
    DWORD StartError() const { return startError_; }
    DWORD Id() const { return id_; }
    bool HasEnded() const;
    bool WaitForEnd(std::chrono::milliseconds timeout) const;
    // Once it has ended; no result before, or when it did not start.
    std::optional<DWORD> ExitCode() const;
    void End();
    // Lets it run on when the object goes.
    void LeaveRunning() { process_.Reset(); }

  private:
    UniqueKernelHandle process_;
    DWORD id_ = 0;
    DWORD startError_ = ERROR_SUCCESS;
};

// Whether any process on this machine runs from an image named `imageName` (compared ignoring case).
bool ProcessRunning(const std::wstring& imageName);
// The first process on this machine for which `matches` holds; none when there is none.
std::optional<PROCESSENTRY32W> FindProcess(const std::function<bool(const PROCESSENTRY32W&)>& matches);
// Waits until no process runs from the file `program`: one that the code under test started, which leaves the test
// no handle to wait on. False if one still runs after `timeout`.
bool WaitUntilNoneRunsFrom(const fs::path& program, std::chrono::milliseconds timeout = std::chrono::seconds(10));

}  // namespace velstrand::testing
