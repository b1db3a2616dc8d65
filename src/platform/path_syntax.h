#pragma once

namespace velstrand {

// The two separators Windows accepts in a path it normalises; a "\\?\" path knows only the backslash.
constexpr bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

constexpr bool IsDriveLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

}  // namespace velstrand
