#pragma once

#include "platform/runtime_services.h"

namespace velstrand::testing {

// Passes every call on to another realisation; a test overrides just the operations it needs to watch or stand
// in for (message boxes recorded instead of shown, deletions recorded instead of done).
class ForwardingServices : public RuntimeServices {
  public:
    explicit ForwardingServices(RuntimeServices& inner) : inner_(inner) {}

    std::optional<std::wstring> FindFirstName(const std::wstring& pattern, ListingFilter filter) override {
        return inner_.FindFirstName(pattern, filter);
    }
    std::optional<std::wstring> FindNextName() override { return inner_.FindNextName(); }
    std::optional<std::uint32_t> GetAttributes(const std::wstring& path) override { return inner_.GetAttributes(path); }
    Removal RemoveFile(const std::wstring& folder, const std::wstring& below) override {
        return inner_.RemoveFile(folder, below);
    }
    bool StartProgram(const std::wstring& commandLine, StartStyle style) override {
        return inner_.StartProgram(commandLine, style);
    }
    HelperStart StartHelper(const std::wstring& commandLine) override { return inner_.StartHelper(commandLine); }
    void WaitUntilEnded(std::span<const std::wstring_view> imageNames, std::chrono::milliseconds bound) override {
        inner_.WaitUntilEnded(imageNames, bound);
    }
    void WaitForHelper(std::chrono::milliseconds bound) override { inner_.WaitForHelper(bound); }
    void ShowMessage(const std::wstring& text) override { inner_.ShowMessage(text); }
    std::wstring ProgramFolder() override { return inner_.ProgramFolder(); }
    std::optional<std::wstring> ReadRegistryString(const std::wstring& name) override {
        return inner_.ReadRegistryString(name);
    }

  private:
    RuntimeServices& inner_;
};

}  // namespace velstrand::testing
