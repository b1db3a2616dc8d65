#pragma once

#include <optional>
#include <string>

namespace velstrand {

// What a repair works on, taken from the window once, at the click of the start button, and carried through the
// whole run: text another program sends the folder box, or a server it selects, while the run works changes
// nothing the run does.
struct RepairInputs {
    // The text of the folder box (`Text1`); no result when it could not be read.
    std::optional<std::wstring> gameFolderText;
    // Whether the official server (`Option1`) was selected; no result when that could not be read.
    std::optional<bool> officialServer;
};

}  // namespace velstrand
