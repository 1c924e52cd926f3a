#include "platform/win32/nt_relative.h"

#include <winternl.h>

#include <cstring>

// ntdll's calls that mingw-w64's winternl.h does not declare.
extern "C" NTSTATUS NTAPI NtQueryDirectoryFile(HANDLE file, HANDLE event, PVOID apc_routine,
                                               PVOID apc_context, PIO_STATUS_BLOCK io, PVOID buffer,
                                               ULONG length, FILE_INFORMATION_CLASS what,
                                               BOOLEAN single_entry, PUNICODE_STRING name,
                                               BOOLEAN restart);

namespace velmora {
namespace {

constexpr ULONG kOpenReparsePoint = 0x00200000;  // FILE_OPEN_REPARSE_POINT
constexpr ULONG kSynchronousIo = 0x00000020;     // FILE_SYNCHRONOUS_IO_NONALERT
constexpr auto kRenameInformation = static_cast<FILE_INFORMATION_CLASS>(10);
constexpr auto kIdBothDirectoryInformation = static_cast<FILE_INFORMATION_CLASS>(37);
// Windows 10 1607's delete disposition, which mingw-w64 declares only when
// built for that version.
constexpr auto kDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
constexpr DWORD kDispositionDelete = 0x1;  // FILE_DISPOSITION_FLAG_DELETE
constexpr DWORD kDispositionPosix = 0x2;   // FILE_DISPOSITION_FLAG_POSIX_SEMANTICS
constexpr NTSTATUS kNoMoreFiles = static_cast<NTSTATUS>(0x80000006);
constexpr NTSTATUS kNoSuchFile = static_cast<NTSTATUS>(0xC000000F);

UNICODE_STRING Counted(const std::wstring& text) {
    UNICODE_STRING counted;
    counted.Buffer = const_cast<PWSTR>(text.c_str());
    counted.Length = counted.MaximumLength = static_cast<USHORT>(text.size() * sizeof(wchar_t));
    return counted;
}

DWORD ErrorOf(NTSTATUS status) {
    return status >= 0 ? ERROR_SUCCESS : RtlNtStatusToDosError(status);
}

}  // namespace

DWORD OpenRelative(HANDLE folder, const std::wstring& name, const RelativeOpen& how,
                   HANDLE* opened) {
    if (name.size() > 32767)
        return ERROR_FILENAME_EXCED_RANGE;
    UNICODE_STRING object_name = Counted(name);
    OBJECT_ATTRIBUTES attributes;
    // Case-insensitive, as every Win32 call opens names.
    InitializeObjectAttributes(&attributes, &object_name, OBJ_CASE_INSENSITIVE, folder, nullptr);
    IO_STATUS_BLOCK io{};
    HANDLE handle = nullptr;
    const NTSTATUS status = NtCreateFile(&handle, how.access | SYNCHRONIZE, &attributes, &io,
                                         nullptr, FILE_ATTRIBUTE_NORMAL, how.share, how.disposition,
                                         how.kind | kOpenReparsePoint | kSynchronousIo, nullptr, 0);
    if (status < 0)
        return ErrorOf(status);
    *opened = handle;
    return ERROR_SUCCESS;
}

DWORD ListRelative(HANDLE folder, const std::wstring& only, std::vector<Found>* found) {
    HANDLE listing = nullptr;
    if (const DWORD error = OpenRelative(
            folder, L"", RelativeOpen{FILE_LIST_DIRECTORY, kShareAll, kNtOpen, kNtFolderOnly},
            &listing))
        return error;
    Handle closer(listing);
    UNICODE_STRING mask = Counted(only);
    std::vector<ULONGLONG> aligned(8 * 1024);
    auto* buffer = reinterpret_cast<unsigned char*>(aligned.data());
    const ULONG size = static_cast<ULONG>(aligned.size() * sizeof(ULONGLONG));
    for (bool first = true;; first = false) {
        IO_STATUS_BLOCK io{};
        const NTSTATUS status = NtQueryDirectoryFile(listing, nullptr, nullptr, nullptr, &io,
                                                     buffer, size, kIdBothDirectoryInformation,
                                                     FALSE, only.empty() ? nullptr : &mask, first);
        if (status == kNoMoreFiles || (status == kNoSuchFile && first))
            return ERROR_SUCCESS;
        if (status < 0)
            return ErrorOf(status);
        for (std::size_t at = 0;;) {
            const auto* item = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer + at);
            std::wstring item_name(item->FileName, item->FileNameLength / sizeof(wchar_t));
            if (!IsDots(item_name))
                found->push_back(Found{std::move(item_name), item->FileAttributes});
            if (item->NextEntryOffset == 0)
                break;
            at += item->NextEntryOffset;
        }
    }
}

bool RecordedPathStillLeadsTo(HANDLE entry) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetFinalPathNameByHandleW(entry, path.data(), static_cast<DWORD>(path.size()), 0);
        if (length == 0)
            return true;  // no path to check: nothing the system could redirect
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(length + 1);
    }
    Handle named(OpenNoFollow(path, FILE_READ_ATTRIBUTES));
    if (!named.ok())
        return true;  // the recorded path leads nowhere: nothing else is reached
    BY_HANDLE_FILE_INFORMATION mine{};
    BY_HANDLE_FILE_INFORMATION there{};
    return GetFileInformationByHandle(entry, &mine) &&
           GetFileInformationByHandle(named.value, &there) &&
           mine.dwVolumeSerialNumber == there.dwVolumeSerialNumber &&
           mine.nFileIndexHigh == there.nFileIndexHigh && mine.nFileIndexLow == there.nFileIndexLow;
}

DWORD DeleteOpen(HANDLE entry) {
    DWORD posix = kDispositionDelete | kDispositionPosix;  // FILE_DISPOSITION_INFO_EX
    if (SetFileInformationByHandle(entry, kDispositionInfoEx, &posix, sizeof posix))
        return ERROR_SUCCESS;
    // Systems before Windows 10 1607, file systems without POSIX semantics
    // (FAT, exFAT) and Wine: the classic disposition.
    FILE_DISPOSITION_INFO classic{TRUE};
    if (SetFileInformationByHandle(entry, FileDispositionInfo, &classic, sizeof classic))
        return ERROR_SUCCESS;
    return GetLastError();
}

DWORD RenameOpen(HANDLE entry, HANDLE folder, const std::wstring& name) {
    const std::size_t bytes = name.size() * sizeof(wchar_t);
    std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFORMATION) + bytes);
    auto* rename = reinterpret_cast<FILE_RENAME_INFORMATION*>(buffer.data());
    rename->ReplaceIfExists = FALSE;
    rename->RootDirectory = folder;
    rename->FileNameLength = static_cast<ULONG>(bytes);
    std::memcpy(rename->FileName, name.data(), bytes);
    IO_STATUS_BLOCK io{};
    return ErrorOf(NtSetInformationFile(entry, &io, rename, static_cast<ULONG>(buffer.size()),
                                        kRenameInformation));
}

}  // namespace velmora
