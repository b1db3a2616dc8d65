#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "child_process.h"
#include "record_file.h"

namespace velstrand::testing {

namespace fs = std::filesystem;

// The recording stand-in program (stand_in.cpp), in the three forms it is built in.
enum class StandInKind { Windowed, Console, RequiresAdministrator };

// Where the build, or the test kit, put it.
fs::path StandInProgram(StandInKind kind = StandInKind::Windowed);
// The taskkill that is slow to start (slow_taskkill.cpp), which records beside itself as the stand-in does.
fs::path SlowTaskkillProgram();

// Beside a copy of the stand-in at `copy`: the record it writes once it has started, the marker it leaves when it
// ends by itself, the marker that makes it hold as "--hold" does, and the marker that lets a holding copy end.
fs::path RecordOf(const fs::path& copy);
fs::path EndedMarkerOf(const fs::path& copy);
fs::path HoldMarkerOf(const fs::path& copy);
fs::path ReleaseMarkerOf(const fs::path& copy);

// A copy of the stand-in placed for one test, and what that copy recorded about its start.
class PlacedStandIn {
  public:
    // Copies the stand-in to `path` (its folders are made as needed).
    explicit PlacedStandIn(std::wstring path, StandInKind kind = StandInKind::Windowed);

    const std::wstring& Path() const { return path_; }
    bool Placed() const { return placed_; }

    // The record, once the copy has started and written it; no result when it has not within 10 s.
    std::optional<Record> WaitForRecord() const;
    bool Started() const;
    bool Ended() const;
    void Release() const;
    // Lets a copy started with "--hold" end, and waits until it has.
    bool ReleaseAndWaitForEnd() const;

  private:
    std::wstring path_;
    bool placed_ = false;
};

// Copies of the stand-in in `folder`, one under each image name, started there and held: the game's processes as
// taskkill sees them. Each is running, its record written, when this returns.
std::vector<ChildProcess> StartStandIns(const fs::path& folder, const std::vector<std::wstring_view>& imageNames);

}  // namespace velstrand::testing
