#include "platform/win32/wsh_registry.h"

#include <windows.h>

#include <objbase.h>
#include <oleauto.h>
#include <wrl/client.h>

#include "platform/win32/com_values.h"

namespace velstrand {

namespace {

// The WshShell class of the Windows Script Host and its IWshShell3 interface, a dual interface reached here
// through IDispatch alone so that no type library or generated header is needed.
constexpr CLSID kWshShellClass = {0x72C24DD5, 0xD70A, 0x438B, {0x8A, 0x42, 0x98, 0x42, 0x4B, 0x88, 0xAF, 0xB8}};
constexpr IID kWshShellInterface = {0x41904400, 0xBE18, 0x11D3, {0xA2, 0x8B, 0x00, 0x10, 0x4B, 0xD3, 0x50, 0x90}};

std::optional<DISPID> MethodId(IDispatch& object, const wchar_t* method) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(method)};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(object.GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
        return std::nullopt;
    }
    return id;
}

// Text as the registry holds it. A number (RegRead gives REG_DWORD as a signed VT_I4) becomes its decimal text;
// REG_MULTI_SZ and REG_BINARY arrive as arrays, which have no text form and fail here.
std::optional<std::wstring> AsText(VARIANT& value) {
    if ((value.vt & (VT_ARRAY | VT_BYREF)) != 0 || value.vt == VT_EMPTY || value.vt == VT_NULL) {
        return std::nullopt;
    }
    if (value.vt != VT_BSTR && FAILED(::VariantChangeType(&value, &value, 0, VT_BSTR))) {
        return std::nullopt;
    }
    return std::wstring(value.bstrVal, ::SysStringLen(value.bstrVal));
}

}  // namespace

std::optional<std::wstring> ReadRegistryThroughWshShell(const std::wstring& name) {
    Microsoft::WRL::ComPtr<IDispatch> shell;
    if (FAILED(::CoCreateInstance(kWshShellClass, nullptr, CLSCTX_INPROC_SERVER, kWshShellInterface,
                                  reinterpret_cast<void**>(shell.GetAddressOf())))) {
        return std::nullopt;
    }
    const std::optional<DISPID> regRead = MethodId(*shell.Get(), L"RegRead");
    if (!regRead) {
        return std::nullopt;
    }

    ScopedVariant argument;
    argument.Get()->vt = VT_BSTR;
    argument.Get()->bstrVal = ::SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
    if (argument.Get()->bstrVal == nullptr) {
        return std::nullopt;
    }
    DISPPARAMS parameters{};
    parameters.rgvarg = argument.Get();
    parameters.cArgs = 1;

    ScopedVariant result;
    ScopedExcepInfo failure;
    UINT badArgument = 0;
    if (FAILED(shell->Invoke(*regRead, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, result.Get(),
                             failure.Get(), &badArgument))) {
        return std::nullopt;
    }
    return AsText(*result.Get());
}

}  // namespace velstrand
