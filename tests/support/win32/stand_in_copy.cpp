#include "stand_in_copy.h"

#include <windows.h>

#include "test_files.h"
#include "wait_until.h"

namespace velstrand::testing {

namespace {

constexpr int kStartAttempts = 3;

// Whether the copy has written its record; false once it has ended without one.
bool WaitForRecordOrEnd(const fs::path& copy, const ChildProcess& process) {
    WaitUntil([&] { return fs::exists(RecordOf(copy)) || process.HasEnded(); });
    return fs::exists(RecordOf(copy));
}

}  // namespace

fs::path StandInProgram(StandInKind kind) {
    switch (kind) {
        case StandInKind::Console:
            return BuiltFile(VELSTRAND_CONSOLE_STAND_IN);
        case StandInKind::RequiresAdministrator:
            return BuiltFile(VELSTRAND_ADMIN_STAND_IN);
        case StandInKind::Windowed:
            break;
    }
    return BuiltFile(VELSTRAND_STAND_IN);
}

fs::path SlowTaskkillProgram() {
    return BuiltFile(VELSTRAND_SLOW_TASKKILL);
}

fs::path RecordOf(const fs::path& copy) {
    return fs::path(copy.wstring() + L".record");
}

fs::path EndedMarkerOf(const fs::path& copy) {
    return fs::path(copy.wstring() + L".ended");
}

fs::path HoldMarkerOf(const fs::path& copy) {
    return fs::path(copy.wstring() + L".hold");
}

fs::path ReleaseMarkerOf(const fs::path& copy) {
    return fs::path(copy.wstring() + L".release");
}

PlacedStandIn::PlacedStandIn(std::wstring path, StandInKind kind) : path_(std::move(path)) {
    fs::create_directories(fs::path(path_).parent_path());
    placed_ = ::CopyFileW(StandInProgram(kind).c_str(), path_.c_str(), TRUE) != FALSE;
}

std::optional<Record> PlacedStandIn::WaitForRecord() const {
    if (!WaitUntil([this] { return Started(); })) {
        return std::nullopt;
    }
    return ReadRecord(RecordOf(path_));
}

bool PlacedStandIn::Started() const {
    return fs::exists(RecordOf(path_));
}

bool PlacedStandIn::Ended() const {
    return fs::exists(EndedMarkerOf(path_));
}

void PlacedStandIn::Release() const {
    WriteFile(ReleaseMarkerOf(path_), "");
}

bool PlacedStandIn::ReleaseAndWaitForEnd() const {
    Release();
    return WaitUntil([this] { return Ended(); });
}

std::vector<ChildProcess> StartStandIns(const fs::path& folder, const std::vector<std::wstring_view>& imageNames) {
    fs::create_directories(folder);
    std::vector<ChildProcess> processes;
    for (const std::wstring_view name : imageNames) {
        const fs::path copy = folder / name;
        fs::copy_file(StandInProgram(), copy);
        // Running once it has written its record. Now and then Wine ends a program it has just started before any
        // of it has run, and a test would take that for a process the code under test ended: it starts again.
        ChildProcess process(copy, folder, L"--hold");
        for (int attempt = 1; attempt < kStartAttempts && !WaitForRecordOrEnd(copy, process) && process.HasEnded();
             ++attempt) {
            process = ChildProcess(copy, folder, L"--hold");
        }
        processes.push_back(std::move(process));
    }
    return processes;
}

}  // namespace velstrand::testing
