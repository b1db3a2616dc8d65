#include "platform/win32/find_listing.h"

#include <windows.h>

#include <new>

#include "platform/path_syntax.h"
#include "platform/wildcard_match.h"
#include "platform/win32/file_system_path.h"
#include "platform/win32/unique_handle.h"

namespace velstrand {

namespace {

// Errors that only mean "nothing here": the folder is missing (or is a file), or it has no entries at all, as at
// an empty drive root. Every other error is a listing that could not be made.
bool MeansNoEntries(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES ||
           error == ERROR_DIRECTORY;
}

bool IsDotEntry(std::wstring_view name) {
    return name == L"." || name == L"..";
}

std::size_t NamePartStart(const std::wstring& pattern) {
    const std::size_t separator = pattern.find_last_of(L"\\/:");
    return separator == std::wstring::npos ? 0 : separator + 1;
}

// Whether `folder`, taken without its last separator, is a file. Listing a file's entries is listing a folder
// that is not there; Wine reports it as a malformed name, which must not make it a failure.
bool NamesAFile(const std::wstring& folder) {
    if (folder.size() < 2 || !IsSeparator(folder.back())) {
        return false;
    }
    const std::optional<std::wstring> onDisk = FileSystemPath(folder.substr(0, folder.size() - 1));
    const DWORD attributes = onDisk ? ::GetFileAttributesW(onDisk->c_str()) : INVALID_FILE_ATTRIBUTES;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Characters no name may hold, which the file system rejects in a pattern's name part too. ("<", ">" and '"'
// are not among them: in a pattern they are the file system's own extra wildcards.)
bool IsMalformedNamePattern(std::wstring_view namePattern) {
    for (const wchar_t c : namePattern) {
        if (c < 0x20 || c == L'|') {
            return true;
        }
    }
    return false;
}

bool PassesFilter(std::wstring_view name, std::uint32_t attributes, ListingFilter filter) {
    const bool isFolder = (attributes & attribute::kFolder) != 0;
    if (isFolder && filter != ListingFilter::PlainFilesAndFolders) {
        return false;
    }
    // "." and ".." stand for folders, not for entries of their own: Wine reports them as hidden (as it does
    // every name that begins with a dot), yet they belong in every folder listing but a drive root's.
    if (isFolder && IsDotEntry(name)) {
        return true;
    }
    return (attributes & (attribute::kHidden | attribute::kSystem)) == 0;
}

}  // namespace

// Every entry of `folder` ("" for the current folder; otherwise ending in a separator or a drive's ":"), in the
// file system's order. A folder that does not exist has no entries; false for one that cannot be listed.
bool FindListing::ReadFolder(const std::wstring& folder) {
    names_.clear();
    snapshot_.clear();
    const std::optional<std::wstring> everything = FileSystemPath(folder + L"*");
    if (!everything) {
        return false;
    }
    WIN32_FIND_DATAW data;
    // Without 8.3 aliases, which nothing here reads and which the file system must otherwise make up per entry.
    UniqueFindHandle find(
        ::FindFirstFileExW(everything->c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0));
    if (!find) {
        const DWORD error = ::GetLastError();
        return MeansNoEntries(error) || (error == ERROR_INVALID_NAME && NamesAFile(folder));
    }
    do {
        const std::wstring_view name(data.cFileName);
        snapshot_.push_back({static_cast<std::uint32_t>(names_.size()), static_cast<std::uint32_t>(name.size()),
                             data.dwFileAttributes});
        names_ += name;
    } while (::FindNextFileW(find.Get(), &data));
    return true;
}

std::optional<std::wstring> FindListing::First(const std::wstring& pattern, ListingFilter filter) {
    inProgress_ = false;
    lastReturnedKnown_ = false;
    matches_.clear();
    next_ = 0;
    const bool reuse = snapshotUsable_;
    snapshotUsable_ = false;
    // A folder too large for the memory left is a listing that could not be made, not a crash.
    try {
        return Start(pattern, filter, reuse);
    } catch (const std::bad_alloc&) {
        inProgress_ = false;
        folder_.clear();
        return std::nullopt;
    }
}

std::optional<std::wstring> FindListing::Start(const std::wstring& pattern, ListingFilter filter, bool reuse) {
    const std::size_t nameStart = NamePartStart(pattern);
    const std::wstring_view namePattern = std::wstring_view(pattern).substr(nameStart);
    if (IsMalformedNamePattern(namePattern)) {
        return std::nullopt;
    }
    // Only a full listing right after a pattern listing of the same folder is served from its snapshot: what a
    // sweep does, with nothing deleted in between.
    const bool fullListing = namePattern == L"*.*" || namePattern == L"*";
    const std::wstring_view folder = std::wstring_view(pattern).substr(0, nameStart);
    if (!reuse || !fullListing || folder != folder_) {
        folder_ = folder;
        if (!ReadFolder(folder_)) {
            folder_.clear();
            return std::nullopt;
        }
        snapshotUsable_ = true;
    }

    for (std::size_t i = 0; i < snapshot_.size(); ++i) {
        const std::wstring_view name = NameOf(snapshot_[i]);
        if (MatchesWildcard(name, namePattern) && PassesFilter(name, snapshot_[i].attributes, filter)) {
            matches_.push_back(static_cast<std::uint32_t>(i));
        }
    }
    inProgress_ = true;
    return Next();
}

std::optional<std::wstring> FindListing::Next() {
    if (!inProgress_) {
        return std::nullopt;
    }
    if (next_ == matches_.size()) {
        lastReturnedKnown_ = false;
        return std::wstring();
    }
    std::wstring name(NameOf(snapshot_[matches_[next_++]]));
    lastReturnedKnown_ = true;
    return name;
}

std::optional<std::uint32_t> FindListing::AttributesOfLastReturned(const std::wstring& path) const {
    if (!lastReturnedKnown_) {
        return std::nullopt;
    }
    const Entry& last = snapshot_[matches_[next_ - 1]];
    const std::wstring_view name = NameOf(last);
    // "." and ".." stand for folders whose own attributes the listing does not give.
    if (IsDotEntry(name) || path.size() != folder_.size() + name.size() || !path.starts_with(folder_) ||
        !path.ends_with(name)) {
        return std::nullopt;
    }
    return last.attributes;
}

}  // namespace velstrand
