#pragma once

#include <string>
#include <string_view>

namespace velstrand {

// The program path at the head of a command line: the text between its leading double quotation marks, or
// without them the text up to the first blank. Starting exactly this path means no other program, such as
// "C:\Program.exe" for an unquoted "C:\Program Files\...", can ever run in its place.
std::wstring ProgramPathOf(std::wstring_view commandLine);

// What follows that program path: the line after its closing quotation mark (or its first blank) and the blanks
// that separate it from its arguments. The shell takes a program and its arguments apart, not a whole line.
std::wstring ArgumentsOf(std::wstring_view commandLine);

// Encloses a path in double quotation marks, for the head of a command line.
std::wstring Quoted(std::wstring_view path);

}  // namespace velstrand
