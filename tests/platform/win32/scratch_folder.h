#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "platform/win32/unique_handle.h"

namespace velstrand::testing {

// CreateFileW's handle: INVALID_HANDLE_VALUE means none.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(Handle handle) { ::CloseHandle(handle); }
};
using UniqueFileHandle = UniqueHandle<FileHandleTraits>;

// A folder of one test's own below the temporary folder, removed with everything in it (read-only entries
// included) when the object goes. No link is ever made inside it, so removal cannot reach outside it.
class ScratchFolder {
  public:
    ScratchFolder();
    ~ScratchFolder();

    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // Absolute, without a trailing backslash.
    const std::wstring& Path() const { return path_; }
    std::wstring Below(const std::wstring& relative) const { return path_ + L"\\" + relative; }

  private:
    std::wstring path_;
};

// Makes `path` and every missing folder above it.
void MakeFolders(const std::wstring& path);
void WriteTextFile(const std::wstring& path, const std::wstring& text);
// The whole file as UTF-16 text; no result when it cannot be opened.
std::optional<std::wstring> ReadTextFile(const std::wstring& path);
bool FileExists(const std::wstring& path);

// The folder of the running test program, where the helper programs are built.
std::wstring TestProgramFolder();

// Polls `condition` until it holds or `limit` has passed; true when it held.
bool WaitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds limit = std::chrono::milliseconds(10000));

}  // namespace velstrand::testing
