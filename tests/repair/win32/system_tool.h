#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velstrand::testing {

// What a run of one of the system's own console programs gave.
struct ToolRun {
    // No result when it did not start.
    std::optional<DWORD> exitCode;
    // What it wrote, as it wrote it (the console's code page), for a failing test to show.
    std::string output;

    bool Succeeded() const { return exitCode == 0u; }
};

// Runs `program` from the system's own folder (never one a search would find first) with `arguments` and waits
// for it to end, its output written to `outputFile`.
ToolRun RunSystemTool(std::wstring_view program,
                      const std::wstring& arguments,
                      const std::filesystem::path& outputFile);

}  // namespace velstrand::testing
