// Stands in for taskkill.exe as it is on a cold PC, where it takes seconds to start: it waits 12 seconds, longer than
// the tool waits for it, and only then has the system's own taskkill.exe (System32's) end the processes it was
// asked to end, with the arguments it was given. It records its start beside itself (RecordOf) and, once that
// taskkill has ended, its own end (EndedMarkerOf), each with the time. Under Wine a test puts the same bytes at
// System32's taskkill.exe, where they only answer the tool's byte check: Wine runs its built-in from there.

#include <windows.h>

#include <chrono>
#include <string>

#include "child_process.h"
#include "platform/command_line.h"
#include "record_file.h"
#include "stand_in_copy.h"
#include "test_files.h"

namespace {

constexpr DWORD kSlowStartMs = 12000;

}  // namespace

int wmain() {
    using namespace velstrand::testing;
    const fs::path self = OwnPath();
    WriteRecord(RecordOf(self), {{L"commandline", ::GetCommandLineW()}, {L"time", std::to_wstring(PreciseNow())}});
    ::Sleep(kSlowStartMs);
    {
        const ChildProcess taskkill(SystemFolder() / L"taskkill.exe", CurrentFolder(),
                                    velstrand::ArgumentsOf(::GetCommandLineW()));
        taskkill.WaitForEnd(std::chrono::minutes(1));
    }
    WriteRecord(EndedMarkerOf(self), {{L"time", std::to_wstring(PreciseNow())}});
    return 0;
}
