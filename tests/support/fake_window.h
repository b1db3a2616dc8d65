#pragma once

#include <functional>
#include <optional>
#include <string>

#include "repair/window_readings.h"

namespace velstrand::testing {

// The window's two readings as a test sets them. A reading can be made to fail by its number (1 for the first).
class FakeWindow final : public WindowReadings {
  public:
    explicit FakeWindow(std::wstring folder = L"D:\\DNF", bool official = true)
        : folder_(std::move(folder)), official_(official) {}

    std::function<bool(int read)> failFolderRead;
    std::function<bool(int read)> failServerRead;

    int FolderReads() const { return folderReads_; }
    int ServerReads() const { return serverReads_; }

    std::optional<std::wstring> GameFolderText() override {
        ++folderReads_;
        if (failFolderRead && failFolderRead(folderReads_)) {
            return std::nullopt;
        }
        return folder_;
    }

    std::optional<bool> IsOfficialServerSelected() override {
        ++serverReads_;
        if (failServerRead && failServerRead(serverReads_)) {
            return std::nullopt;
        }
        return official_;
    }

  private:
    std::wstring folder_;
    bool official_;
    int folderReads_ = 0;
    int serverReads_ = 0;
};

}  // namespace velstrand::testing
