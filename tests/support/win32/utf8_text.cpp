#include "utf8_text.h"

#include <windows.h>

namespace velstrand::testing {

std::string Utf8(std::wstring_view text) {
    std::string bytes(text.size() * 4, '\0');
    bytes.resize(static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                                bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                                                nullptr)));
    return bytes;
}

std::wstring FromUtf8(std::string_view bytes) {
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                               text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace velstrand::testing
