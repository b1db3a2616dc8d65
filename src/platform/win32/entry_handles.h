#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/entry_nature.h"
#include "platform/win32/unique_handle.h"

namespace velstrand {

// An entry held open, or why it was not.
struct OpenedEntry {
    UniqueKernelHandle handle;
    // Without a handle: there is no entry of that name and kind, or it is on its way out, its deletion accepted.
    bool absent = false;
};

// A folder by its path, links and all, held so that it cannot be renamed or removed while held. No handle when it
// does not open as a folder.
OpenedEntry OpenFolderByPath(const std::wstring& onDisk);

enum class EntryKind { Folder, File };

// The entry `name` of the folder `parent` is held open, reached from that handle and not by a path, so that nothing
// done to the folders above can change which entry it is. A link is opened as the link itself on Windows (Wine
// follows its own links all the same: see NamesEntryOf). A folder is held as OpenFolderByPath holds one; a file is
// opened to be deleted. No handle when it is not there, is not of that kind, or is in use without deletion shared.
OpenedEntry OpenEntryBelow(HANDLE parent, std::wstring_view name, EntryKind kind);

// What the file system tells of the entry, for NatureOf.
EntryAnswers AskAbout(HANDLE entry);

// The entry's full name as the system gives it ("\Device\HarddiskVolume3\DNF\start", or "\??\Z:\..." under Wine),
// whatever its length. No result when the system does not name it.
std::optional<std::wstring> NameOfEntry(HANDLE entry);

// Whether `entryName` (a NameOfEntry) names the entry `name` of the folder named `folderName`. Letter case is
// ignored, and so are the trailing periods and blanks of `name` and of the entry's own last name: Wine names "foo."
// as "foo".
bool NamesEntryOf(std::wstring_view entryName, std::wstring_view folderName, std::wstring_view name);

// Deletes the file once its last handle closes, and its name as soon as this one closes where the file system can.
// False when it may not be deleted, a read-only file among them: the read-only bit is neither cleared nor passed over.
bool DeleteWhenClosed(HANDLE file);

}  // namespace velstrand
