#include "stub_record.h"

#include <windows.h>

#include <chrono>

namespace velstrand::testing {

PlacedStub::PlacedStub(std::wstring path, Kind kind) : path_(std::move(path)) {
    MakeFolders(path_.substr(0, path_.find_last_of(L'\\')));
    const wchar_t* stub = kind == Kind::Console ? L"\\stub_console_program.exe" : L"\\stub_program.exe";
    placed_ = ::CopyFileW((TestProgramFolder() + stub).c_str(), path_.c_str(), TRUE) != FALSE;
}

std::optional<std::map<std::wstring, std::wstring>> PlacedStub::WaitForRecord(int limitMs) const {
    if (!WaitUntil([this] { return Started(); }, std::chrono::milliseconds(limitMs))) {
        return std::nullopt;
    }
    const std::optional<std::wstring> text = ReadTextFile(path_ + L".record");
    if (!text) {
        return std::nullopt;
    }
    std::map<std::wstring, std::wstring> record;
    std::size_t lineStart = 0;
    while (lineStart < text->size()) {
        std::size_t lineEnd = text->find(L'\n', lineStart);
        if (lineEnd == std::wstring::npos) {
            lineEnd = text->size();
        }
        const std::wstring line = text->substr(lineStart, lineEnd - lineStart);
        const std::size_t equals = line.find(L'=');
        if (equals != std::wstring::npos) {
            record[line.substr(0, equals)] = line.substr(equals + 1);
        }
        lineStart = lineEnd + 1;
    }
    return record;
}

bool PlacedStub::ReleaseAndWaitForEnd() const {
    WriteTextFile(path_ + L".release", L"");
    return WaitUntil([this] { return Ended(); });
}

}  // namespace velstrand::testing
