#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

namespace velstrand::testing {

// What a stand-in program records about how it was started: "key=value" lines in UTF-8.
using Record = std::map<std::wstring, std::wstring>;

// Writes the record whole under another name first and then renames it, so that a reader never sees half of it.
bool WriteRecord(const std::filesystem::path& file, const Record& record);
// No result while the file is not there (or cannot be read).
std::optional<Record> ReadRecord(const std::filesystem::path& file);
std::optional<std::wstring> ReadRecordValue(const std::filesystem::path& file, const std::wstring& key);

// The current time as a number that another process on this machine can compare with its own.
unsigned long long PreciseNow();

}  // namespace velstrand::testing
