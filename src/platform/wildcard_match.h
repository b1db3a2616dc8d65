#pragma once

#include <string_view>

namespace velstrand {

// Matches a file's own name against a listing pattern: "*" any run of characters, "?" exactly one, "*.*" every
// name, letter case ignored. Unlike the file system's own matching, a name never matches through its 8.3 alias,
// so "*.tdl" does not find "a.tdlx".
bool MatchesWildcard(std::wstring_view name, std::wstring_view pattern);

// Folds one character for case-insensitive comparison of names, as the file system compares them.
wchar_t FoldCase(wchar_t c);

// Whether two names are the same, letter case ignored as FoldCase ignores it.
bool SameIgnoringCase(std::wstring_view a, std::wstring_view b);

}  // namespace velstrand
