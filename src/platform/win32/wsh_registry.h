#pragma once

#include <optional>
#include <string>

namespace velstrand {

// Reads one registry value through the RegRead method of a Windows Script Host WshShell object, created for this
// call and released after it. `name` is hive abbreviation, key path and value name joined by "\". Text and
// expandable text come back as text, numbers as their decimal text; lists, binary data, a missing key or value,
// and a thread without COM give no result.
std::optional<std::wstring> ReadRegistryThroughWshShell(const std::wstring& name);

}  // namespace velstrand
