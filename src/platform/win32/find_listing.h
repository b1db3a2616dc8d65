#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime_services.h"

namespace velstrand {

// The one listing in progress: the entries of one folder that matched a pattern and passed a filter, read in full
// when the listing starts and handed out one name at a time in the file system's order.
//
// The folder is listed whole and each entry's own name is matched here, because the file system also matches a
// pattern against an entry's 8.3 alias: asked for "*.tdl" it would return "a.tdlx" (alias "A~1.TDL").
class FindListing {
  public:
    // Abandons the listing in progress, lists the folder part of `pattern` and keeps the entries whose names
    // match its last part. Empty text when nothing matches or the folder does not exist; no result when the
    // folder cannot be listed for another reason (a malformed path, a drive that is not ready).
    std::optional<std::wstring> First(const std::wstring& pattern, ListingFilter filter);
    // Empty text once the listing is exhausted; no result when no listing is in progress.
    std::optional<std::wstring> Next();

    // The attributes of the entry this listing returned last, when `path` is its folder followed by its name:
    // they came with the listing, so a sweep asking about every entry costs no second query per entry. Only while
    // that listing goes on: once it has ended, the disk is asked again.
    std::optional<std::uint32_t> AttributesOfLastReturned(const std::wstring& path) const;

    // The disk has changed under the snapshot: the next listing reads its folder afresh, and what the last one
    // returned is no longer known.
    void ForgetSnapshot() {
        snapshotUsable_ = false;
        lastReturnedKnown_ = false;
    }

  private:
    // The folder as last read, whole. A sweep lists each folder twice in a row (its pattern, then every entry),
    // so that full listing is served from this snapshot; it serves that one listing and no other, so the next
    // sweep, and the next run, see the disk afresh.
    // Its names lie end to end in one buffer, and both buffers keep their capacity from folder to folder: a
    // sweep reads thousands of folders, and allocating per entry would cost more than the reading.
    struct Entry {
        std::uint32_t nameStart;
        std::uint32_t nameLength;
        std::uint32_t attributes;
    };
    std::wstring_view NameOf(const Entry& entry) const {
        return std::wstring_view(names_).substr(entry.nameStart, entry.nameLength);
    }
    bool ReadFolder(const std::wstring& folder);
    std::optional<std::wstring> Start(const std::wstring& pattern, ListingFilter filter, bool reuse);

    std::wstring folder_;
    std::wstring names_;
    std::vector<Entry> snapshot_;
    bool snapshotUsable_ = false;

    bool inProgress_ = false;
    std::vector<std::uint32_t> matches_;  // indexes into snapshot_ of this listing's entries
    std::size_t next_ = 0;
    bool lastReturnedKnown_ = false;  // matches_[next_ - 1] was returned and the listing has not ended since
};

}  // namespace velstrand
