#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime_services.h"
#include "repair/game_folder.h"

namespace velstrand {

// One sweep: deletes every plain file with extension `FileExtensions` (no dot) in the game folder at any depth.
// Every match in the tree is recorded before the first deletion. Returns how many of the files it found stayed:
// those whose deletion failed, and those it never came to because the sweep failed part-way.
std::size_t Search(RuntimeServices& services, const GameFolder& gameFolder, std::wstring_view FileExtensions);

// Records, depth first, the full path of every plain file matching `sFileSpec` in `sPath` and below it into
// `sFiles`, and returns the number of entries in `sFiles` when it ends. Folders whose names begin with ".",
// hidden or system folders and links are not entered.
std::int32_t TreeSearch(RuntimeServices& services,
                        std::wstring sPath,
                        const std::wstring& sFileSpec,
                        std::vector<std::wstring>& sFiles);

}  // namespace velstrand
