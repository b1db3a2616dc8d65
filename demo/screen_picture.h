#pragma once

#include <windows.h>

#include <filesystem>

namespace velstrand::demo {

// Saves what the screen shows in `area` (screen coordinates) as a 24-bit BMP; false when it cannot.
bool SaveScreenPicture(const RECT& area, const std::filesystem::path& file);

}  // namespace velstrand::demo
