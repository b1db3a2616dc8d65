#include "platform/win32/scoped_com_init.h"

#include <windows.h>

#include <objbase.h>

namespace velstrand {

ScopedComInit::ScopedComInit()
    : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}

ScopedComInit::~ScopedComInit() {
    if (initialised_) {
        ::CoUninitialize();
    }
}

}  // namespace velstrand
