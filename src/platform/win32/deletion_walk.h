#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/runtime_services.h"
#include "platform/win32/unique_handle.h"

namespace velstrand {

// Deletes files below a folder without ever leaving it: from the folder, reached by its path with any links on it
// followed, it walks down one name at a time, each entry opened relative to the handle of the folder above, and
// deletes through the handle of the very file it checked. Nothing is deleted when a folder on the way or the file
// itself is a link, may be one, or is no longer the entry that was listed.
//
// The folders walked through stay held for the next deletion, which in a sweep's depth-first order shares most of
// them: they were checked when opened, and held they cannot be renamed or removed on Windows. Each file is still
// checked on its own, so that even a held folder swapped for a link, which only a Linux program under Wine can do,
// leads no deletion out of the folder.
class DeletionWalk {
  public:
    // `folder` is a path as the program is given it ("\\?\D:\DNF", or a plain absolute path), `below` the names
    // under it joined by "\". What became of the file, as RuntimeServices::RemoveFile tells it.
    Removal Remove(const std::wstring& folder, const std::wstring& below);

    // Lets go of the folders held since the last deletion, so that the player can rename or move them again.
    void LetGo() {
        chain_.clear();
        root_ = Held();
        rootFolder_.clear();
    }

  private:
    struct Held {
        UniqueKernelHandle handle;
        // Its full name as the system gave it when it was opened.
        std::wstring systemName;
    };
    struct HeldBelow {
        std::wstring name;  // as listed
        Held folder;
    };

    Removal RemoveOrThrow(const std::wstring& folder, const std::wstring& below);
    // No result once `folder` is held; otherwise what becomes of a deletion below it.
    std::optional<Removal> HoldRoot(const std::wstring& folder);
    const Held& Deepest() const { return chain_.empty() ? root_ : chain_.back().folder; }

    std::wstring rootFolder_;  // the `folder` that root_ holds, as it was given
    Held root_;
    std::vector<HeldBelow> chain_;  // the folders below root_, each inside the one before
};

}  // namespace velstrand
