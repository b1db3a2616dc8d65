#pragma once

#include <string>
#include <string_view>

namespace velstrand::testing {

// Text as the UTF-8 bytes that records and console output carry, and back.
std::string Utf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view bytes);

}  // namespace velstrand::testing
