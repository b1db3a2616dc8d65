#pragma once

#include <optional>
#include <string>

#include "record_file.h"

namespace velstrand::testing {

// A copy of the stub program placed for one test, and what that copy recorded about its start.
class PlacedStub {
  public:
    enum class Kind { Windowed, Console };

    // Copies the stub program to `path` (its folders are made as needed).
    explicit PlacedStub(std::wstring path, Kind kind = Kind::Windowed);

    const std::wstring& Path() const { return path_; }
    bool Placed() const { return placed_; }

    // The record, once the copy has started and written it; no result when it has not within 10 s.
    std::optional<Record> WaitForRecord() const;
    bool Started() const;
    bool Ended() const;
    // Lets a copy started with "--hold" end, and waits until it has.
    bool ReleaseAndWaitForEnd() const;

  private:
    std::wstring path_;
    bool placed_ = false;
};

}  // namespace velstrand::testing
