#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velstrand::bench {

// One entry of a generated game-like tree, relative to its root.
struct TreeEntry {
    std::wstring path;  // "data\\d0012\\res_00017.npk"
    bool folder = false;
    std::uint32_t attributes = 0;  // hidden or system bits, if any
};

struct TreeShape {
    std::vector<TreeEntry> entries;  // parents before children
    int files = 0;
    int folders = 0;
    int expectedDeletions = 0;  // plain files with a swept extension outside concealed folders
};

// A DNF-like tree: `folders` folders a few levels deep, `files` files spread over them, a few hundred leftovers of
// each swept extension, look-alike names, and some hidden and system entries. The same sizes give the same tree.
TreeShape MakeTreeShape(int files, int folders);

}  // namespace velstrand::bench
