#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velstrand {

// The extended-length form of a path, "\\?\X:\..." or "\\?\UNC\server\share\...", for every call into the file
// system. A default Windows still refuses plain paths beyond MAX_PATH (260 characters), and a game folder nested
// under a long install path goes past that; the prefix lifts the limit to 32,767 characters.
//
// The prefix also switches off the normalisation Windows would apply, so it is applied here first, as
// GetFullPathNameW would: separators canonicalised, "." and ".." evaluated (never above the root), relative forms
// read against currentFolder (an absolute path, as GetCurrentDirectoryW gives it), a single trailing period
// dropped from a folder name. One deliberate difference: the last name is kept as it is, trailing periods and
// spaces included, because it usually came from a listing and a name a listing returned is joined as it is;
// "hidden." must reach the file system as "hidden.". A last "." or ".." is still evaluated, and a path that ends
// in a separator ends in a folder, whose name is trimmed like any other.
//
// A path already in "\\?\" or "\\.\" form is returned unchanged. No result for an empty path, for a relative
// form when currentFolder is not absolute, or when the result would exceed 32,767 characters.
std::optional<std::wstring> ExtendedLengthPath(std::wstring_view path, std::wstring_view currentFolder);

}  // namespace velstrand
