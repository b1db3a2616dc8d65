#pragma once

#include <filesystem>
#include <string>

namespace velstrand::testing {

namespace fs = std::filesystem;

// A fresh folder of one test's own below the temporary folder, removed with everything in it (read-only, hidden
// and system entries included) when the object goes. Removal never follows a link: a link inside is removed as the
// link it is, so nothing outside the folder can be reached through one.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Absolute, without a trailing backslash.
    const fs::path& Path() const { return path_; }
    std::wstring Below(const std::wstring& relative) const { return path_.wstring() + L"\\" + relative; }

  private:
    fs::path path_;
};

}  // namespace velstrand::testing
