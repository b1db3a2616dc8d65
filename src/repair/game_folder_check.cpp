#include "repair/game_folder_check.h"

#include <algorithm>
#include <cstddef>

namespace velstrand {

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\u3000';
}

bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

// Where the path below the root begins, or npos when the text is not an absolute path: "X:" and a separator, or
// two separators, a server, a separator and a share.
std::size_t RootLength(std::wstring_view folder) {
    if (folder.size() >= 3 && IsDriveLetter(folder[0]) && folder[1] == L':' && IsSeparator(folder[2])) {
        return 3;
    }
    if (folder.size() >= 2 && IsSeparator(folder[0]) && IsSeparator(folder[1])) {
        const std::size_t serverEnd = std::find_if(folder.begin() + 2, folder.end(), IsSeparator) - folder.begin();
        if (serverEnd == 2 || serverEnd == folder.size()) {
            return std::wstring_view::npos;
        }
        const std::size_t shareEnd =
            std::find_if(folder.begin() + static_cast<std::ptrdiff_t>(serverEnd) + 1, folder.end(), IsSeparator) -
            folder.begin();
        return shareEnd == serverEnd + 1 ? std::wstring_view::npos : shareEnd;
    }
    return std::wstring_view::npos;
}

// Windows drops trailing dots and blanks from a name, so "D:\ " and "D:\..." both name the drive's root.
bool NamesNothing(std::wstring_view component) {
    return std::all_of(component.begin(), component.end(), [](wchar_t c) { return c == L'.' || IsBlank(c); });
}

}  // namespace

bool IsUnsafeGameFolder(std::wstring_view folder) {
    if (std::all_of(folder.begin(), folder.end(), IsBlank)) {
        return true;
    }
    const std::size_t rootLength = RootLength(folder);
    if (rootLength == std::wstring_view::npos) {
        return true;
    }

    // Count how deep below the root the text ends, resolving "." and ".." as Windows does.
    int depth = 0;
    std::size_t start = rootLength;
    while (start <= folder.size()) {
        const std::size_t end =
            std::find_if(folder.begin() + static_cast<std::ptrdiff_t>(start), folder.end(), IsSeparator) -
            folder.begin();
        const std::wstring_view component = folder.substr(start, end - start);
        if (component == L"..") {
            depth = std::max(0, depth - 1);
        } else if (!NamesNothing(component)) {
            ++depth;
        }
        start = end + 1;
    }
    return depth == 0;
}

}  // namespace velstrand
