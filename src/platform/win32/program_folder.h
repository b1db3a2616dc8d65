#pragma once

#include <string>

namespace velstrand {

// The folder that holds the running program, however long its path: no trailing backslash except at a drive
// root ("C:\").
std::wstring RunningProgramFolder();

}  // namespace velstrand
