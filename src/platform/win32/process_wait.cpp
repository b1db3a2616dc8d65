#include "platform/win32/process_wait.h"

#include <algorithm>
#include <vector>

#include "platform/wildcard_match.h"
#include "platform/win32/process_snapshot.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/window_upkeep.h"

namespace velstrand {

void WaitForProcessesNamed(std::span<const std::wstring_view> imageNames, ULONGLONG deadline) {
    std::vector<UniqueKernelHandle> processes;
    ForEachProcess([&](const PROCESSENTRY32W& entry) {
        const bool named = std::any_of(imageNames.begin(), imageNames.end(),
                                       [&](std::wstring_view name) { return SameIgnoringCase(entry.szExeFile, name); });
        if (named) {
            UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID));
            if (process) {
                processes.push_back(std::move(process));
            }
        }
        return true;
    });
    for (const UniqueKernelHandle& process : processes) {
        if (!WaitKeepingWindowsPainted(process.Get(), deadline)) {
            return;
        }
    }
}

}  // namespace velstrand
