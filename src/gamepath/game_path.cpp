#include "gamepath/game_path.h"

#include <algorithm>

namespace velstrand {

std::wstring GetGamePath(RuntimeServices& services, const std::wstring& sEditionKey) {
    std::wstring folder;

    // Step: read the value; only a successful read gives the folder its text.
    if (auto value = services.ReadRegistryString(L"HKCU\\Software\\Tencent\\" + sEditionKey + L"\\Path")) {
        folder = std::move(*value);
    }

    // Step: the game sometimes records its folder with forward slashes.
    std::replace(folder.begin(), folder.end(), L'/', L'\\');
    return folder;
}

}  // namespace velstrand
