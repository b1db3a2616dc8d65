#include "platform/win32/helper_start.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/command_line.h"
#include "platform/folder_of.h"
#include "platform/growing_read.h"
#include "platform/win32/file_system_path.h"
#include "platform/win32/program_start.h"

namespace velstrand {

namespace {

UniqueFileHandle OpenForReading(const std::wstring& path, DWORD sharing) {
    const std::optional<std::wstring> onDisk = FileSystemPath(path);
    if (!onDisk) {
        return UniqueFileHandle();
    }
    return UniqueFileHandle(::CreateFileW(onDisk->c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

constexpr std::size_t kChunkBytes = std::size_t{64} * 1024;

// Reads as much of `file` as `buffer` holds, or up to its end; the number of bytes read, or nothing on failure.
std::optional<DWORD> ReadChunk(HANDLE file, std::vector<char>& buffer) {
    DWORD total = 0;
    while (total < buffer.size()) {
        DWORD read = 0;
        if (!::ReadFile(file, buffer.data() + total, static_cast<DWORD>(buffer.size() - total), &read, nullptr)) {
            return std::nullopt;
        }
        if (read == 0) {
            break;
        }
        total += read;
    }
    return total;
}

// Whether two files, each read from its start, hold the same bytes. An error reading either counts as a
// difference: only a copy known to be the same may run.
bool SameBytes(HANDLE first, HANDLE second) {
    LARGE_INTEGER firstSize{}, secondSize{};
    if (!::GetFileSizeEx(first, &firstSize) || !::GetFileSizeEx(second, &secondSize) ||
        firstSize.QuadPart != secondSize.QuadPart) {
        return false;
    }
    std::vector<char> firstChunk(kChunkBytes), secondChunk(kChunkBytes);
    for (;;) {
        const std::optional<DWORD> firstRead = ReadChunk(first, firstChunk);
        const std::optional<DWORD> secondRead = ReadChunk(second, secondChunk);
        if (!firstRead || !secondRead || *firstRead != *secondRead ||
            !std::equal(firstChunk.begin(), firstChunk.begin() + *firstRead, secondChunk.begin())) {
            return false;
        }
        if (*firstRead < firstChunk.size()) {
            return true;
        }
    }
}

}  // namespace

std::wstring SystemFolderPath() {
    return ReadGrowing([](wchar_t* buffer, std::size_t size) -> std::size_t {
        return ::GetSystemDirectoryW(buffer, static_cast<UINT>(size));
    });
}

HelperStarted StartSystemCopy(const std::wstring& commandLine, const std::wstring& systemFolder, HWND owner) {
    const std::wstring program = ProgramPathOf(commandLine);
    // Starting an image shares reading (execution counts as reading) and so does this handle.
    const UniqueFileHandle copy = OpenForReading(program, FILE_SHARE_READ);
    if (!copy) {
        return HelperStarted{};
    }
    const UniqueFileHandle original = OpenForReading(systemFolder + L"\\" + FileNameOf(program),
                                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (!original || !SameBytes(copy.Get(), original.Get())) {
        return HelperStarted{HelperStart::NotTheSystemsOwn, UniqueKernelHandle()};
    }
    StartedProgram started = StartDetached(commandLine, StartStyle::Hidden, owner);
    if (!started.started) {
        return HelperStarted{};
    }
    return HelperStarted{HelperStart::Started, std::move(started.process)};
}

}  // namespace velstrand
