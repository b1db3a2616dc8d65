#include "record_file.h"

#include <windows.h>

#include <fstream>
#include <sstream>

#include "test_files.h"

namespace velstrand::testing {

namespace {

std::string Utf8(const std::wstring& text) {
    std::string bytes(text.size() * 4, '\0');
    bytes.resize(static_cast<std::size_t>(::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                                bytes.data(), static_cast<int>(bytes.size()), nullptr,
                                                                nullptr)));
    return bytes;
}

std::wstring Wide(const std::string& bytes) {
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<std::size_t>(::MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                               text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

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
            record[Wide(line.substr(0, equals))] = Wide(line.substr(equals + 1));
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
