#include "registry_value.h"

namespace velstrand::testing {

bool WriteRegistryValue(const std::wstring& subKey,
                        const std::wstring& name,
                        DWORD type,
                        const void* data,
                        DWORD size) {
    return ::RegSetKeyValueW(HKEY_CURRENT_USER, subKey.c_str(), name.c_str(), type, data, size) == ERROR_SUCCESS;
}

ScopedRegistryValue::ScopedRegistryValue(std::wstring subKey, std::wstring name)
    : subKey_(std::move(subKey)), name_(std::move(name)) {
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, subKey_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_, nullptr,
                       &size) == ERROR_SUCCESS) {
        data_.resize(size);
        existed_ = ::RegGetValueW(HKEY_CURRENT_USER, subKey_.c_str(), name_.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type_,
                                  data_.data(), &size) == ERROR_SUCCESS;
        data_.resize(size);
    }
}

ScopedRegistryValue::~ScopedRegistryValue() {
    if (existed_) {
        WriteRegistryValue(subKey_, name_, type_, data_.data(), static_cast<DWORD>(data_.size()));
    } else {
        Delete();
    }
}

void ScopedRegistryValue::SetString(const std::wstring& text) {
    WriteRegistryValue(subKey_, name_, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void ScopedRegistryValue::SetDword(DWORD value) {
    WriteRegistryValue(subKey_, name_, REG_DWORD, &value, sizeof(value));
}

void ScopedRegistryValue::Delete() {
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, subKey_.c_str(), name_.c_str());
}

}  // namespace velstrand::testing
