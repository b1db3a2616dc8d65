#include "platform/command_line.h"

#include <algorithm>

namespace velstrand {

std::wstring ProgramPathOf(std::wstring_view commandLine) {
    if (!commandLine.empty() && commandLine.front() == L'"') {
        const auto closing = commandLine.find(L'"', 1);
        return std::wstring(
            commandLine.substr(1, closing == std::wstring_view::npos ? std::wstring_view::npos : closing - 1));
    }
    return std::wstring(commandLine.substr(0, commandLine.find(L' ')));
}

std::wstring ArgumentsOf(std::wstring_view commandLine) {
    std::size_t end = 0;
    if (!commandLine.empty() && commandLine.front() == L'"') {
        const auto closing = commandLine.find(L'"', 1);
        end = closing == std::wstring_view::npos ? commandLine.size() : closing + 1;
    } else {
        end = std::min(commandLine.find(L' '), commandLine.size());
    }
    const std::size_t start = commandLine.find_first_not_of(L' ', end);
    return start == std::wstring_view::npos ? std::wstring() : std::wstring(commandLine.substr(start));
}

std::wstring Quoted(std::wstring_view path) {
    std::wstring quoted;
    quoted.reserve(path.size() + 2);
    quoted += L'"';
    quoted += path;
    quoted += L'"';
    return quoted;
}

}  // namespace velstrand
