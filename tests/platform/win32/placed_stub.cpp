#include "placed_stub.h"

#include <windows.h>

#include <filesystem>

#include "platform/folder_of.h"
#include "test_files.h"
#include "wait_until.h"

namespace velstrand::testing {

PlacedStub::PlacedStub(std::wstring path, Kind kind) : path_(std::move(path)) {
    fs::create_directories(FolderOf(path_));
    // The stubs are built beside the test program.
    const wchar_t* stub = kind == Kind::Console ? L"\\stub_console_program.exe" : L"\\stub_program.exe";
    placed_ = ::CopyFileW((FolderOf(OwnPath()) + stub).c_str(), path_.c_str(), TRUE) != FALSE;
}

std::optional<Record> PlacedStub::WaitForRecord() const {
    if (!WaitUntil([this] { return Started(); })) {
        return std::nullopt;
    }
    return ReadRecord(path_ + L".record");
}

bool PlacedStub::Started() const {
    return fs::exists(path_ + L".record");
}

bool PlacedStub::Ended() const {
    return fs::exists(path_ + L".ended");
}

bool PlacedStub::ReleaseAndWaitForEnd() const {
    WriteFile(path_ + L".release", "");
    return WaitUntil([this] { return Ended(); });
}

}  // namespace velstrand::testing
