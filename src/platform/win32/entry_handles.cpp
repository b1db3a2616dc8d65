#include "platform/win32/entry_handles.h"

#include <limits>
#include <new>
#include <vector>
#include <winternl.h>

#include "platform/wildcard_match.h"

namespace velstrand {

namespace {

// Held folders are shared for reading and writing but not for deletion: on Windows nobody can rename or remove a
// folder on the way while it is held, nor any folder above it up to the game folder, which is held too.
constexpr ULONG kFolderSharing = FILE_SHARE_READ | FILE_SHARE_WRITE;
constexpr ACCESS_MASK kFolderAccess = FILE_TRAVERSE | FILE_READ_ATTRIBUTES;
// As DeleteFileW shares a file it deletes: whoever else has it open must have shared deletion, or it stays.
constexpr ULONG kFileSharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr ACCESS_MASK kFileAccess = DELETE | FILE_READ_ATTRIBUTES;

// Wine reports "foo." and "foo " as "foo"; Windows keeps them.
std::wstring_view WithoutTrailingPeriodsAndBlanks(std::wstring_view name) {
    const std::size_t end = name.find_last_not_of(L". ");
    return name.substr(0, end == std::wstring_view::npos ? 0 : end + 1);
}

}  // namespace

UniqueKernelHandle OpenFolderByPath(const std::wstring& onDisk) {
    const HANDLE folder = ::CreateFileW(onDisk.c_str(), kFolderAccess, kFolderSharing, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        return UniqueKernelHandle();
    }
    UniqueKernelHandle held(folder);
    BY_HANDLE_FILE_INFORMATION information;
    if (!::GetFileInformationByHandle(folder, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return UniqueKernelHandle();
    }
    return held;
}

UniqueKernelHandle OpenEntryBelow(HANDLE parent, std::wstring_view name, EntryKind kind) {
    // One name, never a path: a separator would reach further down, and a colon a stream of a file. Nor one too
    // long to be counted in bytes.
    if (name.empty() || name.find_first_of(L"\\/:") != std::wstring_view::npos ||
        name.size() > std::numeric_limits<USHORT>::max() / sizeof(wchar_t)) {
        return UniqueKernelHandle();
    }
    UNICODE_STRING objectName;
    objectName.Buffer = const_cast<wchar_t*>(name.data());
    objectName.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    objectName.MaximumLength = objectName.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &objectName, OBJ_CASE_INSENSITIVE, parent, nullptr);
    IO_STATUS_BLOCK ioStatus;
    HANDLE entry = nullptr;
    const bool isFolder = kind == EntryKind::Folder;
    const NTSTATUS opened = ::NtCreateFile(&entry, (isFolder ? kFolderAccess : kFileAccess) | SYNCHRONIZE, &attributes,
                                           &ioStatus, nullptr, 0, isFolder ? kFolderSharing : kFileSharing, FILE_OPEN,
                                           (isFolder ? FILE_DIRECTORY_FILE : FILE_NON_DIRECTORY_FILE) |
                                               FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT,
                                           nullptr, 0);
    return NT_SUCCESS(opened) ? UniqueKernelHandle(entry) : UniqueKernelHandle();
}

bool MayBeReparsePoint(HANDLE entry) {
    FILE_ATTRIBUTE_TAG_INFO information;
    return !::GetFileInformationByHandleEx(entry, FileAttributeTagInfo, &information, sizeof(information)) ||
           (information.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::optional<std::wstring> NameOfEntry(HANDLE entry) {
    // Enough for most names at once; a longer one is asked again with the size the system says it needs.
    ULONG size = 1024;
    try {
        for (int attempt = 0; attempt < 2; ++attempt) {
            std::vector<unsigned char> buffer(size);
            ULONG needed = 0;
            const NTSTATUS queried = ::NtQueryObject(entry, ObjectNameInformation, buffer.data(), size, &needed);
            if (NT_SUCCESS(queried)) {
                const auto* information = reinterpret_cast<const OBJECT_NAME_INFORMATION*>(buffer.data());
                return std::wstring(information->Name.Buffer, information->Name.Length / sizeof(wchar_t));
            }
            if (needed <= size) {
                return std::nullopt;
            }
            size = needed;
        }
    } catch (const std::bad_alloc&) {
    }
    return std::nullopt;
}

bool NamesEntryOf(std::wstring_view entryName, std::wstring_view folderName, std::wstring_view name) {
    // A drive's root is named with its separator.
    const std::size_t nameStart = folderName.ends_with(L'\\') ? folderName.size() : folderName.size() + 1;
    if (entryName.size() <= nameStart || !SameIgnoringCase(entryName.substr(0, folderName.size()), folderName) ||
        entryName[nameStart - 1] != L'\\') {
        return false;
    }
    const std::wstring_view entryOwnName = entryName.substr(nameStart);
    return entryOwnName.find(L'\\') == std::wstring_view::npos &&
           SameIgnoringCase(WithoutTrailingPeriodsAndBlanks(entryOwnName), WithoutTrailingPeriodsAndBlanks(name));
}

bool DeleteWhenClosed(HANDLE file) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof(disposition)) != FALSE;
}

}  // namespace velstrand
