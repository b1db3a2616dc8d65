#include "platform/command_line.h"

namespace velstrand {

std::wstring ProgramPathOf(std::wstring_view commandLine) {
    if (!commandLine.empty() && commandLine.front() == L'"') {
        const auto closing = commandLine.find(L'"', 1);
        return std::wstring(
            commandLine.substr(1, closing == std::wstring_view::npos ? std::wstring_view::npos : closing - 1));
    }
    return std::wstring(commandLine.substr(0, commandLine.find(L' ')));
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
