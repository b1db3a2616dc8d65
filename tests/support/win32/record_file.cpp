#include "record_file.h"

#include <windows.h>

#include <fstream>
#include <sstream>

#include "test_files.h"
#include "utf8_text.h"

namespace velstrand::testing {

bool WriteRecord(const std::filesystem::path& file, const Record& record) {
    std::filesystem::path partial = file;
    partial += L".partial";
    {
        std::ofstream out(partial, std::ios::binary);
        for (const auto& [key, value] : record) {
            out << Utf8(key) << '=' << Utf8(value) << '\n';
        }
        if (!out) {
            return false;
        }
    }
    return ::MoveFileExW(partial.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

std::optional<Record> ReadRecord(const std::filesystem::path& file) {
    // The writer's rename keeps its handle, opened for deletion, a moment after the new name appears: a reader that
    // did not share deletion (as the C++ streams do not) would be refused in that moment.
    const UniqueFileHandle handle(::CreateFileW(file.c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) {
        return std::nullopt;
    }
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (::ReadFile(handle.Get(), chunk, sizeof(chunk), &read, nullptr) && read > 0) {
        bytes.append(chunk, read);
    }
    Record record;
    std::istringstream lines(bytes);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) {
            record[FromUtf8(line.substr(0, equals))] = FromUtf8(line.substr(equals + 1));
        }
    }
    return record;
}

std::optional<std::wstring> ReadRecordValue(const std::filesystem::path& file, const std::wstring& key) {
    const std::optional<Record> record = ReadRecord(file);
    if (!record || record->count(key) == 0) {
        return std::nullopt;
    }
    return record->at(key);
}

unsigned long long PreciseNow() {
    FILETIME now{};
    ::GetSystemTimePreciseAsFileTime(&now);
    return (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace velstrand::testing
