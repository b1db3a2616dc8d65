#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/win32/unique_handle.h"

namespace velstrand {

// A folder by its path, links and all, held so that it cannot be renamed or removed while held. The handle is
// nullptr when it does not open as a folder.
UniqueKernelHandle OpenFolderByPath(const std::wstring& onDisk);

enum class EntryKind { Folder, File };

// The entry `name` of the folder `parent` is held open, reached from that handle and not by a path, so that nothing
// done to the folders above can change which entry it is. A link is opened as the link itself on Windows (Wine
// follows its own links all the same: see NamesEntryOf). A folder is held as OpenFolderByPath holds one; a file is
// opened to be deleted. nullptr when it is not there, is not of that kind, or is in use without deletion shared.
UniqueKernelHandle OpenEntryBelow(HANDLE parent, std::wstring_view name, EntryKind kind);

// Whether the entry is a reparse point (a junction, a symbolic link, or anything else the file system redirects
// through): true also when that cannot be told.
bool MayBeReparsePoint(HANDLE entry);

// The entry's full name as the system gives it ("\Device\HarddiskVolume3\DNF\start", or "\??\Z:\..." under Wine),
// whatever its length. No result when the system does not name it.
std::optional<std::wstring> NameOfEntry(HANDLE entry);

// Whether `entryName` (a NameOfEntry) names the entry `name` of the folder named `folderName`. Letter case is
// ignored, and so are the trailing periods and blanks of `name` and of the entry's own last name: Wine names "foo."
// as "foo".
bool NamesEntryOf(std::wstring_view entryName, std::wstring_view folderName, std::wstring_view name);

// Marks the file for deletion when its last handle closes. False for a read-only file: what the user keeps.
bool DeleteWhenClosed(HANDLE file);

}  // namespace velstrand
