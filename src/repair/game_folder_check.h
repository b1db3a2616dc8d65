#pragma once

#include <string_view>

namespace velstrand {

// A folder text that a sweep must never start from: empty or blank, not an absolute path, or naming the root of
// a drive or of a share (after "." and ".." are resolved), where a sweep would reach far beyond the game.
bool IsUnsafeGameFolder(std::wstring_view folder);

}  // namespace velstrand
