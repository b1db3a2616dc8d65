#include "platform/win32/process_snapshot.h"

#include "platform/win32/unique_handle.h"

namespace velstrand {

bool ForEachProcess(const std::function<bool(const PROCESSENTRY32W&)>& visit) {
    const UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return false;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more && visit(entry);
         more = ::Process32NextW(snapshot.Get(), &entry)) {
    }
    return true;
}

}  // namespace velstrand
