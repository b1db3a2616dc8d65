#pragma once

#include <windows.h>

#include <tlhelp32.h>

#include <functional>

namespace velstrand {

// Visits every process of one snapshot of the process list until `visit` returns false. False when no snapshot
// could be taken.
bool ForEachProcess(const std::function<bool(const PROCESSENTRY32W&)>& visit);

}  // namespace velstrand
