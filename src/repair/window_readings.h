#pragma once

#include <optional>
#include <string>

namespace velstrand {

// What the main window offers the repair run: two readings, each taken at the moment a step needs it and each
// able to fail. The run changes nothing in the window.
class WindowReadings {
  public:
    virtual ~WindowReadings() = default;

    // The current text of the folder box (`Text1`): the game folder.
    virtual std::optional<std::wstring> GameFolderText() = 0;
    // Whether `Option1` (the official server) is selected; not selected means the experience server.
    virtual std::optional<bool> IsOfficialServerSelected() = 0;

  protected:
    WindowReadings() = default;
    WindowReadings(const WindowReadings&) = default;
    WindowReadings& operator=(const WindowReadings&) = default;
};

}  // namespace velstrand
