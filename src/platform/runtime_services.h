#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace velstrand {

// Which entries a listing yields. The values are those of the file system's attribute bits.
enum class ListingFilter : int {
    PlainFiles = 0,             // neither folders nor hidden nor system entries
    PlainFilesAndFolders = 16,  // the same, plus folders that are neither hidden nor system ("." and ".." too)
};

// How a started program shows its window. The values are those of ShowWindow.
enum class StartStyle : int {
    Hidden = 0,
    MinimisedWithFocus = 2,
};

// Attribute bits as the Windows file system defines them.
namespace attribute {
inline constexpr std::uint32_t kReadOnly = 0x1;
inline constexpr std::uint32_t kHidden = 0x2;
inline constexpr std::uint32_t kSystem = 0x4;
inline constexpr std::uint32_t kFolder = 0x10;
inline constexpr std::uint32_t kArchive = 0x20;
inline constexpr std::uint32_t kReparsePoint = 0x400;
}  // namespace attribute

// The one seam between the tool's logic and the operating system. An operation that fails returns no result;
// none of them throws, shows or logs anything by itself.
class RuntimeServices {
  public:
    virtual ~RuntimeServices() = default;

    // Starts the process-wide listing of `pattern` (a folder path, "\", and a wildcard name) and abandons any
    // listing in progress. Empty text when nothing matches or the folder does not exist.
    virtual std::optional<std::wstring> FindFirstName(const std::wstring& pattern, ListingFilter filter) = 0;
    // The next name of the current listing; empty text once it is exhausted; no result without a listing.
    virtual std::optional<std::wstring> FindNextName() = 0;
    virtual std::optional<std::uint32_t> GetAttributes(const std::wstring& path) = 0;
    virtual bool RemoveFile(const std::wstring& path) = 0;
    // Starts the program named at the head of `commandLine` and returns at once; it never waits for it.
    virtual bool StartProgram(const std::wstring& commandLine, StartStyle style) = 0;
    // A modal box with one OK button; returns when the user has dismissed it.
    virtual void ShowMessage(const std::wstring& text) = 0;
    // The running program's folder: no trailing backslash except at a drive root.
    virtual std::wstring ProgramFolder() = 0;
    // `name` is hive, key path and value name joined by "\", e.g. "HKCU\Software\Tencent\DNF\Path".
    virtual std::optional<std::wstring> ReadRegistryString(const std::wstring& name) = 0;

  protected:
    RuntimeServices() = default;
    RuntimeServices(const RuntimeServices&) = default;
    RuntimeServices& operator=(const RuntimeServices&) = default;
};

}  // namespace velstrand
