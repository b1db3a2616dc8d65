#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/runtime_services.h"
#include "platform/win32/deletion_walk.h"
#include "platform/win32/find_listing.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/window_upkeep.h"

namespace velstrand {

// The runtime services on Windows itself: real files, processes, message boxes and registry. Every operation is
// called from the user-interface thread; ReadRegistryString needs COM on that thread (see ScopedComInit).
class Win32Services final : public RuntimeServices {
  public:
    // Message boxes and consent prompts shown from now on are owned by `owner`: a box disables it while it is up,
    // and a prompt comes to the front with it. Before the main window exists they have no owner.
    void SetMessageOwner(HWND owner) { messageOwner_ = owner; }

    std::optional<std::wstring> FindFirstName(const std::wstring& pattern, ListingFilter filter) override;
    std::optional<std::wstring> FindNextName() override;
    std::optional<std::uint32_t> GetAttributes(const std::wstring& path) override;
    Removal RemoveFile(const std::wstring& folder, const std::wstring& below) override;
    bool StartProgram(const std::wstring& commandLine, StartStyle style) override;
    HelperStart StartHelper(const std::wstring& commandLine) override;
    void WaitUntilEnded(std::span<const std::wstring_view> imageNames, std::chrono::milliseconds bound) override;
    void WaitForHelper(std::chrono::milliseconds bound) override;
    void ShowMessage(const std::wstring& text) override;
    std::wstring ProgramFolder() override;
    std::optional<std::wstring> ReadRegistryString(const std::wstring& name) override;

  private:
    FindListing listing_;
    // Held from one deletion to the next while a sweep deletes what it listed.
    DeletionWalk deletions_;
    // The helper started last (taskkill ending the game), until it has been seen to end.
    UniqueKernelHandle helper_;
    WindowUpkeep upkeep_;
    HWND messageOwner_ = nullptr;
};

}  // namespace velstrand
