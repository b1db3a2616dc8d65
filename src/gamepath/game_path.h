#pragma once

#include <string>
#include <string_view>

#include "platform/runtime_services.h"

namespace velstrand {

inline constexpr std::wstring_view kOfficialEditionKey = L"DNF";
inline constexpr std::wstring_view kExperienceEditionKey = L"DNFTest";

// The installation folder the game recorded for one edition ("DNF", "DNFTest"), written with backslashes;
// empty text when it cannot be read. One registry read per call, nothing kept between calls.
std::wstring GetGamePath(RuntimeServices& services, const std::wstring& sEditionKey);

}  // namespace velstrand
