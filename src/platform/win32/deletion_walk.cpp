#include "platform/win32/deletion_walk.h"

#include <new>

#include "platform/extended_length_path.h"
#include "platform/win32/entry_handles.h"
#include "platform/win32/file_system_path.h"

namespace velstrand {

namespace {

// The entry's name if it passes both checks that it is the entry `name` listed in the folder named `parentName`.
// Windows opened a link as itself, which its reparse-point bit gives away; Wine opened what its link leads to, which
// its name gives away, being no longer the folder's name followed by the listed one.
std::optional<std::wstring> NameIfListedEntry(HANDLE entry, const std::wstring& parentName, std::wstring_view name) {
    if (MayBeReparsePoint(entry)) {
        return std::nullopt;
    }
    std::optional<std::wstring> entryName = NameOfEntry(entry);
    if (!entryName || !NamesEntryOf(*entryName, parentName, name)) {
        return std::nullopt;
    }
    return entryName;
}

}  // namespace

bool DeletionWalk::Remove(const std::wstring& folder, const std::wstring& below) {
    // Out of memory is one more file that stays.
    try {
        return RemoveOrThrow(folder, below);
    } catch (const std::bad_alloc&) {
        LetGo();
        return false;
    }
}

bool DeletionWalk::HoldRoot(const std::wstring& folder) {
    if (root_.handle && folder == rootFolder_) {
        return true;
    }
    LetGo();
    const std::optional<std::wstring> onDisk = FileSystemPath(folder);
    if (!onDisk) {
        return false;
    }
    UniqueKernelHandle handle = OpenFolderByPath(*onDisk);
    std::optional<std::wstring> systemName = handle ? NameOfEntry(handle.Get()) : std::nullopt;
    if (!systemName) {
        return false;
    }
    root_ = Held{std::move(handle), std::move(*systemName)};
    rootFolder_ = folder;
    return true;
}

bool DeletionWalk::RemoveOrThrow(const std::wstring& folder, const std::wstring& below) {
    const std::optional<std::vector<std::wstring_view>> names = NamesAsWritten(below);
    if (!names || names->empty() || !HoldRoot(folder)) {
        return false;
    }
    const std::size_t folders = names->size() - 1;

    // The folders held already, as far as they are the ones on this file's way.
    std::size_t kept = 0;
    while (kept < chain_.size() && kept < folders && chain_[kept].name == (*names)[kept]) {
        ++kept;
    }
    chain_.erase(chain_.begin() + static_cast<std::ptrdiff_t>(kept), chain_.end());

    for (std::size_t i = kept; i < folders; ++i) {
        const std::wstring_view name = (*names)[i];
        UniqueKernelHandle handle = OpenEntryBelow(Deepest().handle.Get(), name, EntryKind::Folder);
        std::optional<std::wstring> systemName =
            handle ? NameIfListedEntry(handle.Get(), Deepest().systemName, name) : std::nullopt;
        if (!systemName) {
            return false;
        }
        chain_.push_back({std::wstring(name), Held{std::move(handle), std::move(*systemName)}});
    }

    const UniqueKernelHandle file = OpenEntryBelow(Deepest().handle.Get(), names->back(), EntryKind::File);
    return file && NameIfListedEntry(file.Get(), Deepest().systemName, names->back()) && DeleteWhenClosed(file.Get());
}

}  // namespace velstrand
