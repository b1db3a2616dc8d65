#include "tree_shape.h"

#include <algorithm>
#include <cwchar>
#include <random>

#include "platform/runtime_services.h"

namespace velstrand::bench {

TreeShape MakeTreeShape(int files, int folders) {
    TreeShape shape;
    std::mt19937 random(20261207);
    constexpr int kFanOut = 12;

    // Folders breadth first, so the tree is a few levels deep and every level is wide, like a game install.
    std::vector<std::wstring> folderPaths{L""};
    std::vector<bool> concealed{false};
    for (int i = 0; i < folders; ++i) {
        const std::size_t parent = static_cast<std::size_t>(i / kFanOut);
        const std::wstring& base = folderPaths[parent];
        wchar_t name[32];
        swprintf(name, 32, L"d%05d", i);
        const std::wstring path = base.empty() ? name : base + L"\\" + name;
        const bool hidden = i % 400 == 399;
        shape.entries.push_back({path, true, hidden ? attribute::kHidden : 0u});
        folderPaths.push_back(path);
        concealed.push_back(concealed[parent] || hidden);
    }
    shape.folders = folders;

    const int leftovers = std::max(1, files / 200);  // of each swept extension
    static const wchar_t* const kExtensions[] = {L".tdl", L".spk", L".dmp"};
    static const wchar_t* const kOrdinary[] = {L".npk", L".dll", L".ini", L".tdlx", L".dmp_old", L".spk.bak"};
    for (int i = 0; i < files; ++i) {
        const std::size_t folder = 1 + static_cast<std::size_t>(random() % static_cast<unsigned>(folders));
        wchar_t name[32];
        std::wstring extension;
        if (i < 3 * leftovers) {
            extension = kExtensions[i % 3];
        } else {
            extension = kOrdinary[random() % 6];
        }
        swprintf(name, 32, L"res_%06d", i);
        std::uint32_t attributes = 0;
        if (i % 250 == 7) {
            attributes = attribute::kHidden;
        } else if (i % 250 == 11) {
            attributes = attribute::kSystem;
        }
        const std::wstring path = folderPaths[folder] + L"\\" + name + extension;
        shape.entries.push_back({path, false, attributes});
        if (i < 3 * leftovers && attributes == 0 && !concealed[folder]) {
            ++shape.expectedDeletions;
        }
    }
    shape.files = files;
    return shape;
}

}  // namespace velstrand::bench
