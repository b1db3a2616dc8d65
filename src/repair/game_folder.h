#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velstrand {

// The one folder a repair works in. The guard, the sweeps, the trace log and the client all name it through this.
struct GameFolder {
    // "\\?\D:\DNF", without a trailing separator: the folder as the file system is handed it. Names a listing
    // returns are joined to it as they stand.
    std::wstring onDisk;
    // "D:\DNF": the same folder as a program started from it is named.
    std::wstring plain;
};

// The folder a folder text names, read as Windows reads a folder path: the text with a separator appended, so that
// every name in it is a folder's ("D:\DNF." is the folder "D:\DNF"; "D:\DNF " one whose name ends in a blank). No
// result for a text a sweep must never start from: empty or blank, not an absolute path on a drive or a share, or
// naming the root of one (after "." and ".." are evaluated), where a sweep would reach far beyond the game.
std::optional<GameFolder> ReadGameFolder(std::wstring_view text);

}  // namespace velstrand
