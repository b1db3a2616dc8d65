#pragma once

#include <windows.h>

#include <oleauto.h>

#include <memory>

namespace velstrand {

struct BstrDeleter {
    void operator()(BSTR text) const { ::SysFreeString(text); }
};
// A BSTR owned by the caller; SysFreeString accepts the null a failed allocation leaves.
using UniqueBstr = std::unique_ptr<OLECHAR, BstrDeleter>;

// A VARIANT that is cleared, freeing whatever it holds, when it goes out of scope.
class ScopedVariant {
  public:
    ScopedVariant() { ::VariantInit(&value_); }
    ~ScopedVariant() { ::VariantClear(&value_); }

    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;

    VARIANT* Get() { return &value_; }
    const VARIANT& operator*() const { return value_; }

  private:
    VARIANT value_;
};

// The error report IDispatch::Invoke may fill in; its texts belong to the caller.
class ScopedExcepInfo {
  public:
    ScopedExcepInfo() = default;
    ~ScopedExcepInfo() {
        ::SysFreeString(info_.bstrSource);
        ::SysFreeString(info_.bstrDescription);
        ::SysFreeString(info_.bstrHelpFile);
    }

    ScopedExcepInfo(const ScopedExcepInfo&) = delete;
    ScopedExcepInfo& operator=(const ScopedExcepInfo&) = delete;

    EXCEPINFO* Get() { return &info_; }

  private:
    EXCEPINFO info_{};
};

}  // namespace velstrand
