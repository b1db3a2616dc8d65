#include "platform/wildcard_match.h"

#include <algorithm>
#include <cwctype>

namespace velstrand {

wchar_t FoldCase(wchar_t c) {
    if (c < 0x80) {
        return (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    }
    return static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(c)));
}

bool SameIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) { return FoldCase(x) == FoldCase(y); });
}

bool MatchesWildcard(std::wstring_view name, std::wstring_view pattern) {
    if (pattern == L"*.*") {
        return true;
    }
    // Greedy matching that backtracks only to the most recent "*": linear for the patterns a sweep uses.
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starPattern = std::wstring_view::npos;
    std::size_t starName = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == L'*') {
            starPattern = p++;
            starName = n;
        } else if (p < pattern.size() && (pattern[p] == L'?' || FoldCase(pattern[p]) == FoldCase(name[n]))) {
            ++p;
            ++n;
        } else if (starPattern != std::wstring_view::npos) {
            p = starPattern + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') {
        ++p;
    }
    return p == pattern.size();
}

}  // namespace velstrand
