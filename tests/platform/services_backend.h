#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/runtime_services.h"
#include "support/fake_services.h"

namespace velstrand::testing {

// One realisation of the runtime services together with a scratch world it can be examined in: a folder of its
// own and a registry key of its own, both gone when the backend is destroyed. The contract suite runs the same
// cases on every backend, so the in-memory substitute cannot drift from Windows.
class ServicesBackend {
  public:
    virtual ~ServicesBackend() = default;

    virtual RuntimeServices& Services() = 0;

    // The scratch folder as the services see it: an absolute path without a trailing backslash.
    virtual std::wstring Root() = 0;
    // `relative` is below Root(), written with "\"; attributes are kHidden, kSystem, kReadOnly bits.
    virtual void MakeFolder(const std::wstring& relative, std::uint32_t attributes = 0) = 0;
    virtual void MakeFile(const std::wstring& relative, std::uint32_t attributes = 0) = 0;
    virtual bool Exists(const std::wstring& relative) = 0;

    // A key of this backend's own, e.g. "HKCU\Software\VelstrandTests\1234", no trailing backslash.
    virtual std::wstring RegistryKey() = 0;
    // Sets a value below RegistryKey(): `subKey` may be empty; `data` is text, or the decimal of a Dword.
    virtual void SetRegistryValue(const std::wstring& subKey,
                                  const std::wstring& valueName,
                                  RegistryKind kind,
                                  const std::wstring& data) = 0;
};

// Each test program that runs the contract suite defines this for its own realisation.
std::unique_ptr<ServicesBackend> MakeContractBackend();

}  // namespace velstrand::testing
