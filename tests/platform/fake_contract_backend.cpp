#include "platform/services_backend.h"

namespace velstrand::testing {

namespace {

class FakeContractBackend final : public ServicesBackend {
  public:
    RuntimeServices& Services() override { return fake_; }
    std::wstring Root() override { return L"T:\\scratch"; }
    void MakeFolder(const std::wstring& relative, std::uint32_t attributes) override {
        fake_.AddFolder(Root() + L"\\" + relative, attributes);
    }
    void MakeFile(const std::wstring& relative, std::uint32_t attributes) override {
        fake_.AddFile(Root() + L"\\" + relative, attributes);
    }
    bool Exists(const std::wstring& relative) override { return fake_.Exists(Root() + L"\\" + relative); }
    std::wstring RegistryKey() override { return L"HKCU\\Software\\VelstrandTests\\fake"; }
    void SetRegistryValue(const std::wstring& subKey,
                          const std::wstring& valueName,
                          RegistryKind kind,
                          const std::wstring& data) override {
        const std::wstring key = subKey.empty() ? RegistryKey() : RegistryKey() + L"\\" + subKey;
        fake_.SetRegistryValue(key + L"\\" + valueName, kind, data);
    }

  private:
    FakeServices fake_;
};

}  // namespace

std::unique_ptr<ServicesBackend> MakeContractBackend() {
    auto backend = std::make_unique<FakeContractBackend>();
    backend->MakeFolder(L"", 0);
    return backend;
}

}  // namespace velstrand::testing
