#include "repair/file_sweep.h"

#include <exception>
#include <limits>
#include <new>

#include "repair/game_folder.h"

namespace velstrand {

namespace {

// Appends head + name + tail unless the list cannot grow; then the entry is simply not recorded and the running
// count, the list's length, stays as it was.
void TryAppend(std::vector<std::wstring>& list,
               const std::wstring& head,
               const std::wstring& name,
               std::wstring_view tail = {}) {
    if (list.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return;
    }
    try {
        std::wstring entry;
        entry.reserve(head.size() + name.size() + tail.size());
        entry.append(head).append(name).append(tail);
        list.push_back(std::move(entry));
    } catch (const std::bad_alloc&) {
    }
}

// Whether an entry of the full listing is a sub-folder to descend into. Names beginning with "." (".", ".." and
// folders like ".git") are passed over; so are links, which could lead out of the game folder or round in a
// cycle. An entry whose attributes cannot be read is searched as a folder: if it is a file that search finds
// nothing.
bool IsSubFolderToSearch(RuntimeServices& services, const std::wstring& folder, const std::wstring& name) {
    if (name.front() == L'.') {
        return false;
    }
    const std::optional<std::uint32_t> attributes = services.GetAttributes(folder + name);
    if (!attributes) {
        return true;
    }
    if ((*attributes & attribute::kReparsePoint) != 0) {
        return false;
    }
    return (*attributes & attribute::kFolder) != 0;
}

}  // namespace

std::int32_t TreeSearch(RuntimeServices& services,
                        std::wstring sPath,
                        const std::wstring& sFileSpec,
                        std::vector<std::wstring>& sFiles) {
    if (sPath.empty() || sPath.back() != L'\\') {
        sPath += L'\\';
    }

    // File pass. Each listing is read to its end before the next one starts: there is one listing per process.
    // A failed FindFirstName counts as an empty listing; a failed FindNextName ends it.
    std::optional<std::wstring> name = services.FindFirstName(sPath + sFileSpec, ListingFilter::PlainFiles);
    while (name && !name->empty()) {
        TryAppend(sFiles, sPath, *name);
        name = services.FindNextName();
    }

    // Folder pass.
    std::vector<std::wstring> subFolders;
    name = services.FindFirstName(sPath + L"*.*", ListingFilter::PlainFilesAndFolders);
    while (name && !name->empty()) {
        if (IsSubFolderToSearch(services, sPath, *name)) {
            TryAppend(subFolders, sPath, *name, L"\\");
        }
        name = services.FindNextName();
    }

    // Descent, only once this folder's listings are done. A sub-folder whose search runs out of memory is left
    // there, with what it found so far, and the descent goes on with the next.
    for (const std::wstring& subFolder : subFolders) {
        try {
            TreeSearch(services, subFolder, sFileSpec, sFiles);
        } catch (const std::exception&) {
        }
    }
    return static_cast<std::int32_t>(sFiles.size());
}

std::size_t Search(RuntimeServices& services, const GameFolder& gameFolder, std::wstring_view FileExtensions) {
    std::vector<std::wstring> sFiles;
    std::size_t tried = 0;
    std::size_t stayed = 0;
    try {
        // The root in its extended form, once: every name a listing returns is joined to it exactly as listed, so
        // that a folder "foo." is entered as "foo.", never as a "foo" beside it, which may be a link or a hidden
        // folder.
        const std::wstring root = gameFolder.onDisk + L"\\";
        std::int32_t found = 0;
        try {
            found = TreeSearch(services, root, L"*." + std::wstring(FileExtensions), sFiles);
        } catch (const std::exception&) {
            // A search that fails as a whole deletes nothing; what it had found stays.
        }

        // Only once the whole tree has been searched; a file that stays does not stop the ones after it. Each is
        // handed over as the names below the game folder, which is as far as a link may be followed.
        for (; tried < static_cast<std::size_t>(found); ++tried) {
            const std::wstring& file = sFiles[tried];
            if (services.RemoveFile(gameFolder.onDisk, file.substr(root.size())) == Removal::Stayed) {
                ++stayed;
            }
        }
    } catch (const std::exception&) {
        // The deletions end here, out of memory: every file not yet tried stays.
    }
    return stayed + (sFiles.size() - tried);
}

}  // namespace velstrand
