#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velstrand {

// The extended-length form of a path, "\\?\X:\..." or "\\?\UNC\server\share\...", for every call into the file
// system. A default Windows still refuses plain paths beyond MAX_PATH (260 characters), and a game folder nested
// under a long install path goes past that; the prefix lifts the limit to 32,767 characters.
//
// The prefix also switches off the normalisation Windows would apply, so it is applied here first, by the rules
// Windows documents for it ("File path formats on Windows systems"): separators canonicalised and runs of them
// collapsed, "." and ".." evaluated (never above the root: the drive, the share, or a device path's prefix),
// relative forms read against currentFolder (an absolute path, as GetCurrentDirectoryW gives it), and one trailing
// period dropped from a folder name, unless the name is nothing but three or more periods. A trailing blank stays.
// One deliberate difference: the last name is kept as it is, trailing periods and blanks included, where Windows
// would trim them, because a name a listing returned is joined as it is: "hidden." must reach the file system as
// "hidden.". A last "." or ".." is still evaluated, and a path that ends in a separator ends in a folder, whose
// name is trimmed like any other.
//
// A path that begins exactly with "\\?\" is the file system's own spelling and is returned unchanged. No result
// for an empty path, for a relative form when currentFolder is not absolute, or when the result would exceed 32,767
// characters.
std::optional<std::wstring> ExtendedLengthPath(std::wstring_view path, std::wstring_view currentFolder);

// An extended-length path on a drive or a share, taken apart at its volume.
struct VolumePath {
    // The volume as a plain path names it: "C:" or "\\server\share".
    std::wstring plainVolume;
    // What follows the separator after the volume, exactly as written: a "\\?\" path is never normalised.
    std::wstring_view below;
};
// No result for a path that is not "\\?\X:..." or "\\?\UNC\server\share...".
std::optional<VolumePath> SplitOnVolume(std::wstring_view extendedPath);

// The names in `below` (a VolumePath's, without a trailing separator), as written. A "\\?\" path is not
// normalised, so the file system refuses an empty name, "." or ".." and a "/" in one: then no result.
std::optional<std::vector<std::wstring_view>> NamesAsWritten(std::wstring_view below);

}  // namespace velstrand
