#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "platform/runtime_services.h"

namespace velstrand {

// The mitigation policy a program started in `style` gets. A hidden helper such as taskkill runs with this tool's
// rights from the tool's own folder, most often under Downloads, where anyone may have left a DLL of a name it
// imports (framedynos.dll is no KnownDLL): it loads its DLLs from System32 first. A visible program is the game's
// client, which loads DLLs from its own folder by design, and gets none.
std::optional<DWORD64> MitigationPolicyFor(StartStyle style);

// The process-creation attributes for STARTUPINFOEXW: a list holding `mitigationPolicy`, if there is one. Windows
// older than 10 version 1607 may refuse the list or the policy; the list is then empty and the program starts as
// it would without one. The list points into the object, which therefore stays where it was made.
class StartAttributes {
  public:
    explicit StartAttributes(std::optional<DWORD64> mitigationPolicy);
    ~StartAttributes();
    StartAttributes(const StartAttributes&) = delete;
    StartAttributes& operator=(const StartAttributes&) = delete;

    // Null when the list holds nothing.
    LPPROC_THREAD_ATTRIBUTE_LIST List() const { return list_; }
    // The policy the list holds.
    std::optional<DWORD64> MitigationPolicy() const;

  private:
    DWORD64 policy_ = 0;
    std::unique_ptr<std::byte[]> buffer_;
    LPPROC_THREAD_ATTRIBUTE_LIST list_ = nullptr;
};

}  // namespace velstrand
