// The contract suite's backend under Wine (or Windows): the real services on a scratch folder and on a registry
// key of the test's own below HKCU\Software\VelstrandTests.

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

#include "platform/services_backend.h"
#include "platform/win32/scoped_com_init.h"
#include "platform/win32/win32_services.h"
#include "registry_value.h"
#include "scratch_folder.h"
#include "test_files.h"

namespace velstrand::testing {

namespace {

constexpr wchar_t kTestsKey[] = L"Software\\VelstrandTests";

// The bytes RegSetValueExW stores for `data` as `kind`. Text keeps its terminating null; a list of texts holds
// one text and the empty text that ends every list.
std::wstring StoredData(RegistryKind kind, const std::wstring& data, DWORD& type) {
    switch (kind) {
        case RegistryKind::String:
            type = REG_SZ;
            return data + L'\0';
        case RegistryKind::ExpandString:
            type = REG_EXPAND_SZ;
            return data + L'\0';
        case RegistryKind::MultiString:
            type = REG_MULTI_SZ;
            return data + L'\0' + L'\0';
        case RegistryKind::Binary:
            type = REG_BINARY;
            return data;
        case RegistryKind::Dword:
            break;
    }
    type = REG_DWORD;
    const DWORD number = static_cast<DWORD>(std::stoul(data));
    return std::wstring(reinterpret_cast<const wchar_t*>(&number), sizeof(number) / sizeof(wchar_t));
}

class Win32Backend final : public ServicesBackend {
  public:
    Win32Backend() {
        static std::atomic<int> counter{0};
        keyPath_ = std::wstring(kTestsKey) + L"\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                   std::to_wstring(++counter);
    }

    ~Win32Backend() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, keyPath_.c_str()); }

    RuntimeServices& Services() override { return services_; }
    std::wstring Root() override { return scratch_.Path().wstring(); }

    void MakeFolder(const std::wstring& relative, std::uint32_t attributes) override {
        fs::create_directories(scratch_.Below(relative));
        SetAttributes(relative, attributes);
    }

    void MakeFile(const std::wstring& relative, std::uint32_t attributes) override {
        WriteFile(scratch_.Below(relative), "");
        SetAttributes(relative, attributes);
    }

    bool Exists(const std::wstring& relative) override { return fs::exists(scratch_.Below(relative)); }

    std::wstring RegistryKey() override { return L"HKCU\\" + keyPath_; }

    void SetRegistryValue(const std::wstring& subKey,
                          const std::wstring& valueName,
                          RegistryKind kind,
                          const std::wstring& data) override {
        DWORD type = REG_NONE;
        const std::wstring stored = StoredData(kind, data, type);
        WriteRegistryValue(subKey.empty() ? keyPath_ : keyPath_ + L"\\" + subKey, valueName, type, stored.data(),
                           static_cast<DWORD>(stored.size() * sizeof(wchar_t)));
    }

  private:
    void SetAttributes(const std::wstring& relative, std::uint32_t attributes) {
        if (attributes != 0) {
            ::SetFileAttributesW(scratch_.Below(relative).c_str(), attributes);
        }
    }

    ScopedComInit com_;
    ScratchFolder scratch_;
    std::wstring keyPath_;
    Win32Services services_;
};

}  // namespace

std::unique_ptr<ServicesBackend> MakeContractBackend() {
    return std::make_unique<Win32Backend>();
}

}  // namespace velstrand::testing
