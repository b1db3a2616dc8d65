#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace velstrand::testing {

// Writes one value below HKEY_CURRENT_USER, making its key as needed; false when the registry refuses.
bool WriteRegistryValue(const std::wstring& subKey, const std::wstring& name, DWORD type, const void* data, DWORD size);

// One value under HKEY_CURRENT_USER, put back as it was (or deleted) when the object goes.
class ScopedRegistryValue {
  public:
    ScopedRegistryValue(std::wstring subKey, std::wstring name);
    ~ScopedRegistryValue();
    ScopedRegistryValue(const ScopedRegistryValue&) = delete;
    ScopedRegistryValue& operator=(const ScopedRegistryValue&) = delete;

    void SetString(const std::wstring& text);
    void SetDword(DWORD value);
    void Delete();

  private:
    std::wstring subKey_;
    std::wstring name_;
    bool existed_ = false;
    DWORD type_ = REG_NONE;
    std::vector<BYTE> data_;
};

}  // namespace velstrand::testing
