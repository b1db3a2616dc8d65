#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

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

// How a start of the process-ending helper went.
enum class HelperStart {
    Started,
    // Not started, for any reason but the next.
    NotStarted,
    // Not started: the program is not byte for byte the system's own file of that name.
    NotTheSystemsOwn,
};

// What became of a file a deletion was asked for.
enum class Removal {
    // Its deletion was accepted: the file is gone, or goes once the last program that shares it lets go.
    Deleted,
    // There was no such file when the deletion came to it.
    Gone,
    // Kept as the tool means to keep it: a read-only file, or one reached only through a link.
    KeptOnPurpose,
    // It is still there: in use by a program that does not share its deletion, denied to this tool, and so on.
    Stayed,
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
    // The entry's own attribute bits, a link's included. No result for an entry that is not there, nor for one that
    // does not open, following it if it is a link: a junction left behind by a game moved to a disk that is now
    // unplugged.
    virtual std::optional<std::uint32_t> GetAttributes(const std::wstring& path) = 0;
    // Deletes the file `below` names under `folder` ("start\TenProtect\BugTrace.log" under "\\?\D:\DNF").
    // `folder` is reached as any path is, links and all; below it nothing is followed: the file is deleted only if
    // no folder on the way, nor the file itself, is a link, at the very moment of its deletion. A read-only file is
    // kept; it is told by its attribute, since the system refuses it as it refuses a file this tool may not delete.
    virtual Removal RemoveFile(const std::wstring& folder, const std::wstring& below) = 0;
    // Starts the program named at the head of `commandLine` and returns at once; it never waits for it.
    virtual bool StartProgram(const std::wstring& commandLine, StartStyle style) = 0;
    // Starts the program at the head of `commandLine` hidden, as StartProgram does, but only when it is byte for
    // byte the file of the same name in the system's own folder; nothing can change or replace it between that
    // comparison and its start.
    virtual HelperStart StartHelper(const std::wstring& commandLine) = 0;
    // Waits, `bound` at most in all, until the helper StartHelper started last has ended, and then until no
    // process runs from an image of one of `imageNames`. The window stays painted meanwhile.
    virtual void WaitUntilEnded(std::span<const std::wstring_view> imageNames, std::chrono::milliseconds bound) = 0;
    // Waits, `bound` at most, until the helper StartHelper started last has ended, keeping the window painted; at
    // once when it has ended already or none was started. Until then it may still end any process of its list.
    virtual void WaitForHelper(std::chrono::milliseconds bound) = 0;
    // A modal box with one OK button; returns when the user has dismissed it. Keys and clicks queued before it
    // showed are dropped: one pressed while the run worked must not dismiss it unread.
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
