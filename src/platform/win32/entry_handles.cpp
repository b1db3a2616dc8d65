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

// What NtCreateFile says when there is no entry of that name and kind to open (ntstatus.h, which <windows.h> does
// not go with): not found, a folder on the way that is a file, a file that is a folder, or one whose deletion was
// accepted already and which a program still holds.
constexpr NTSTATUS kObjectNameNotFound = static_cast<NTSTATUS>(0xC0000034);
constexpr NTSTATUS kObjectPathNotFound = static_cast<NTSTATUS>(0xC000003A);
constexpr NTSTATUS kNotADirectory = static_cast<NTSTATUS>(0xC0000103);
constexpr NTSTATUS kFileIsADirectory = static_cast<NTSTATUS>(0xC00000BA);
constexpr NTSTATUS kDeletePending = static_cast<NTSTATUS>(0xC0000056);

bool MeansAbsent(NTSTATUS status) {
    return status == kObjectNameNotFound || status == kObjectPathNotFound || status == kNotADirectory ||
           status == kFileIsADirectory || status == kDeletePending;
}

// Deletion with POSIX semantics, which a Windows 10 of 2016 or later offers and mingw's headers declare only for a
// later target than ours.
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kDispositionPosixSemantics = 0x2;
struct DispositionInfoEx {
    DWORD Flags;
};

// Wine reports "foo." and "foo " as "foo"; Windows keeps them.
std::wstring_view WithoutTrailingPeriodsAndBlanks(std::wstring_view name) {
    const std::size_t end = name.find_last_not_of(L". ");
    return name.substr(0, end == std::wstring_view::npos ? 0 : end + 1);
}

}  // namespace

OpenedEntry OpenFolderByPath(const std::wstring& onDisk) {
    const HANDLE folder = ::CreateFileW(onDisk.c_str(), kFolderAccess, kFolderSharing, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (folder == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return OpenedEntry{UniqueKernelHandle(), error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND};
    }
    UniqueKernelHandle held(folder);
    BY_HANDLE_FILE_INFORMATION information;
    if (!::GetFileInformationByHandle(folder, &information)) {
        return OpenedEntry{};
    }
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return OpenedEntry{UniqueKernelHandle(), true};
    }
    return OpenedEntry{std::move(held)};
}

OpenedEntry OpenEntryBelow(HANDLE parent, std::wstring_view name, EntryKind kind) {
    // One name, never a path: a separator would reach further down, and a colon a stream of a file. Nor one too
    // long to be counted in bytes.
    if (name.empty() || name.find_first_of(L"\\/:") != std::wstring_view::npos ||
        name.size() > std::numeric_limits<USHORT>::max() / sizeof(wchar_t)) {
        return OpenedEntry{};
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
    // A reparse point is opened as itself: a link is not followed, and a compressed file is the file.
    const NTSTATUS opened = ::NtCreateFile(&entry, (isFolder ? kFolderAccess : kFileAccess) | SYNCHRONIZE, &attributes,
                                           &ioStatus, nullptr, 0, isFolder ? kFolderSharing : kFileSharing, FILE_OPEN,
                                           (isFolder ? FILE_DIRECTORY_FILE : FILE_NON_DIRECTORY_FILE) |
                                               FILE_OPEN_REPARSE_POINT | FILE_SYNCHRONOUS_IO_NONALERT,
                                           nullptr, 0);
    if (!NT_SUCCESS(opened)) {
        return OpenedEntry{UniqueKernelHandle(), MeansAbsent(opened)};
    }
    return OpenedEntry{UniqueKernelHandle(entry)};
}

EntryAnswers AskAbout(HANDLE entry) {
    EntryAnswers answers;
    FILE_ATTRIBUTE_TAG_INFO tagged;
    if (::GetFileInformationByHandleEx(entry, FileAttributeTagInfo, &tagged, sizeof(tagged))) {
        answers.tagged = EntryAnswers::Tagged{tagged.FileAttributes, tagged.ReparseTag};
        return answers;
    }
    FILE_BASIC_INFO basic;
    if (::GetFileInformationByHandleEx(entry, FileBasicInfo, &basic, sizeof(basic))) {
        answers.basicAttributes = basic.FileAttributes;
    }
    return answers;
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
    // The name goes as this handle closes, as DeleteFileW's does since Windows 10 1903, even while a scanner still
    // holds the file: a folder emptied this way can be removed, and a new file can take the name.
    DispositionInfoEx posix{kDispositionDelete | kDispositionPosixSemantics};
    if (::SetFileInformationByHandle(file, kFileDispositionInfoEx, &posix, sizeof(posix))) {
        return true;
    }
    // An older Windows, FAT32 and exFAT, and Wine know no such deletion; any other failure is the file's own.
    const DWORD error = ::GetLastError();
    if (error != ERROR_INVALID_PARAMETER && error != ERROR_NOT_SUPPORTED && error != ERROR_INVALID_FUNCTION) {
        return false;
    }
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof(disposition)) != FALSE;
}

}  // namespace velstrand
