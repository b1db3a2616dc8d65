#include "repair/game_folder.h"

#include "platform/extended_length_path.h"

namespace velstrand {

std::optional<GameFolder> ReadGameFolder(std::wstring_view text) {
    // No current folder: a relative text names no folder at all, rather than one near wherever the tool started.
    std::optional<std::wstring> onDisk = ExtendedLengthPath(std::wstring(text) + L'\\', L"");
    if (!onDisk) {
        return std::nullopt;
    }
    while (onDisk->ends_with(L'\\')) {
        onDisk->pop_back();
    }
    const std::optional<VolumePath> split = SplitOnVolume(*onDisk);
    // A text typed as "\\?\..." is taken as it stands, unnormalised: an empty name, "." or ".." in it would mean
    // something other than what a reader of the box sees, and the file system would refuse it at every step anyway.
    if (!split || split->below.empty() || !NamesAsWritten(split->below)) {
        return std::nullopt;
    }
    std::wstring plain = split->plainVolume + L'\\' + std::wstring(split->below);
    return GameFolder{std::move(*onDisk), std::move(plain)};
}

}  // namespace velstrand
