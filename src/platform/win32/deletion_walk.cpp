#include "platform/win32/deletion_walk.h"

#include <new>
#include <variant>

#include "platform/extended_length_path.h"
#include "platform/win32/entry_handles.h"
#include "platform/win32/file_system_path.h"

namespace velstrand {

namespace {

// An entry opened below a held folder that passed both checks of being the entry listed there.
struct ListedEntry {
    std::wstring systemName;
    EntryAnswers answers;
};

// The entry if it is the one `name` listed in the folder named `parentName`, or else what becomes of a deletion
// through it. Windows opened a link as itself, which its reparse tag gives away; Wine opened what its link leads to,
// which its name gives away, being no longer the folder's name followed by the listed one.
std::variant<ListedEntry, Removal> CheckListed(HANDLE entry, const std::wstring& parentName, std::wstring_view name) {
    EntryAnswers answers = AskAbout(entry);
    switch (NatureOf(answers)) {
        case EntryNature::Ordinary:
            break;
        case EntryNature::Link:
            return Removal::KeptOnPurpose;
        case EntryNature::Unknown:
            return Removal::Stayed;
    }
    std::optional<std::wstring> entryName = NameOfEntry(entry);
    if (!entryName) {
        return Removal::Stayed;
    }
    if (!NamesEntryOf(*entryName, parentName, name)) {
        return Removal::KeptOnPurpose;
    }
    return ListedEntry{std::move(*entryName), answers};
}

}  // namespace

Removal DeletionWalk::Remove(const std::wstring& folder, const std::wstring& below) {
    // Out of memory is one more file that stays.
    try {
        return RemoveOrThrow(folder, below);
    } catch (const std::bad_alloc&) {
        LetGo();
        return Removal::Stayed;
    }
}

std::optional<Removal> DeletionWalk::HoldRoot(const std::wstring& folder) {
    if (root_.handle && folder == rootFolder_) {
        return std::nullopt;
    }
    LetGo();
    const std::optional<std::wstring> onDisk = FileSystemPath(folder);
    if (!onDisk) {
        return Removal::Stayed;
    }
    OpenedEntry opened = OpenFolderByPath(*onDisk);
    if (!opened.handle) {
        return opened.absent ? Removal::Gone : Removal::Stayed;
    }
    std::optional<std::wstring> systemName = NameOfEntry(opened.handle.Get());
    if (!systemName) {
        return Removal::Stayed;
    }
    root_ = Held{std::move(opened.handle), std::move(*systemName)};
    rootFolder_ = folder;
    return std::nullopt;
}

Removal DeletionWalk::RemoveOrThrow(const std::wstring& folder, const std::wstring& below) {
    const std::optional<std::vector<std::wstring_view>> names = NamesAsWritten(below);
    if (!names || names->empty()) {
        return Removal::Stayed;
    }
    if (const std::optional<Removal> refused = HoldRoot(folder)) {
        return *refused;
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
        OpenedEntry opened = OpenEntryBelow(Deepest().handle.Get(), name, EntryKind::Folder);
        if (!opened.handle) {
            return opened.absent ? Removal::Gone : Removal::Stayed;
        }
        auto checked = CheckListed(opened.handle.Get(), Deepest().systemName, name);
        if (const Removal* refused = std::get_if<Removal>(&checked)) {
            return *refused;
        }
        chain_.push_back(
            {std::wstring(name), Held{std::move(opened.handle), std::move(std::get<ListedEntry>(checked).systemName)}});
    }

    const OpenedEntry file = OpenEntryBelow(Deepest().handle.Get(), names->back(), EntryKind::File);
    if (!file.handle) {
        return file.absent ? Removal::Gone : Removal::Stayed;
    }
    const auto checked = CheckListed(file.handle.Get(), Deepest().systemName, names->back());
    if (const Removal* refused = std::get_if<Removal>(&checked)) {
        return *refused;
    }
    if (DeleteWhenClosed(file.handle.Get())) {
        return Removal::Deleted;
    }
    // The system refuses a read-only file as it refuses one this tool may not delete: the attribute tells them apart.
    const std::optional<std::uint32_t> attributes = std::get<ListedEntry>(checked).answers.Attributes();
    return attributes && (*attributes & attribute::kReadOnly) != 0 ? Removal::KeptOnPurpose : Removal::Stayed;
}

}  // namespace velstrand
