#include "platform/win32/win32_entries.h"

#include <cstring>

#include "base/messages.h"
#include "platform/win32/win32_tree_ops.h"

namespace velmora {
namespace {

std::uint64_t Join(DWORD high, DWORD low) {
    return (static_cast<std::uint64_t>(high) << 32) | low;
}

Result<BY_HANDLE_FILE_INFORMATION> HandleInformation(HANDLE handle, const std::string& shown) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(handle, &information))
        return LastWinError(Msg::kCannotInspect, shown);
    return information;
}

}  // namespace

std::int64_t UnixNanoseconds(std::int64_t file_time) {
    return (file_time - kUnixEpochAsFileTime) * 100;
}

std::int64_t FileTimeOf(std::int64_t unix_ns) {
    return unix_ns / 100 + kUnixEpochAsFileTime;
}

int StoredAttributes(DWORD native) {
    const int attributes = static_cast<int>(native) & kStoredAttributes;
    return attributes == 0 ? kNormal : attributes;
}

// From the basic, standard and id information, none of which needs the
// entry's name (Wine's fuller queries look the name up again, and fail for
// an entry whose folder was renamed since it was opened).
Result<EntryInfo> InfoOfHandle(HANDLE handle, const std::string& shown, DWORD listed_attributes) {
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(handle, FileBasicInfo, &basic, sizeof basic) ||
        !GetFileInformationByHandleEx(handle, FileStandardInfo, &standard, sizeof standard))
        return LastWinError(Msg::kCannotInspect, shown);
    EntryInfo info;
    if ((basic.FileAttributes | listed_attributes) & FILE_ATTRIBUTE_REPARSE_POINT)
        info.kind = EntryKind::kSymlink;
    else if (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        info.kind = EntryKind::kFolder;
    else if (GetFileType(handle) == FILE_TYPE_DISK)
        info.kind = EntryKind::kFile;
    // The 64-bit volume serial and 128-bit file id where the system gives
    // them (FILE_ID_INFO); the 32-bit serial and 64-bit index otherwise.
    FILE_ID_INFO id{};
    if (GetFileInformationByHandleEx(handle, FileIdInfo, &id, sizeof id)) {
        static_assert(sizeof id.FileId.Identifier == 2 * sizeof info.inode);
        info.device = id.VolumeSerialNumber;
        std::memcpy(&info.inode, id.FileId.Identifier, sizeof info.inode);
        std::memcpy(&info.inode_high, id.FileId.Identifier + sizeof info.inode,
                    sizeof info.inode_high);
    } else {
        Result<BY_HANDLE_FILE_INFORMATION> got = HandleInformation(handle, shown);
        if (!got)
            return got.error();
        info.device = got->dwVolumeSerialNumber;
        info.inode = Join(got->nFileIndexHigh, got->nFileIndexLow);
    }
    info.links = standard.NumberOfLinks;
    info.size = standard.EndOfFile.QuadPart;
    info.modified_ns = UnixNanoseconds(basic.LastWriteTime.QuadPart);
    info.changed_ns = UnixNanoseconds(basic.ChangeTime.QuadPart);
    // What the read-only attribute means as POSIX permission bits.
    const bool read_only = (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    info.mode = (read_only ? 0444u : 0666u) | (info.kind == EntryKind::kFolder ? 0111u : 0u);
    return info;
}

Result<DirEntry> ListedEntry(std::string name, HANDLE handle, const std::string& shown,
                             DWORD listed_attributes) {
    Result<EntryInfo> info = InfoOfHandle(handle, shown, listed_attributes);
    if (!info)
        return info.error();
    DirEntry entry{std::move(name)};
    entry.info = info.value();
    entry.kind = entry.info.kind;
    entry.attributes = StoredAttributes(listed_attributes);
    return entry;
}

Result<FileIdentity> IdentityOf(HANDLE handle, const std::string& shown) {
    Result<BY_HANDLE_FILE_INFORMATION> got = HandleInformation(handle, shown);
    if (!got)
        return got.error();
    const BY_HANDLE_FILE_INFORMATION& information = got.value();
    return FileIdentity{
        information.dwVolumeSerialNumber,
        Join(information.nFileIndexHigh, information.nFileIndexLow),
        static_cast<std::int64_t>(Join(information.nFileSizeHigh, information.nFileSizeLow)),
        Join(information.ftCreationTime.dwHighDateTime, information.ftCreationTime.dwLowDateTime),
        information.nNumberOfLinks};
}

HANDLE OpenNoFollow(const std::wstring& wide, DWORD access) {
    return CreateFileW(wide.c_str(), access, kShareAll, nullptr, OPEN_EXISTING, kNoFollow, nullptr);
}

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_DIRECTORY || error == ERROR_INVALID_NAME;
}

std::wstring WithSeparator(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

Result<std::vector<Found>> Search(const std::wstring& folder, const std::string& shown) {
    WIN32_FIND_DATAW data;
    FindHandle find{FindFirstFileExW((WithSeparator(folder) + L"*").c_str(), FindExInfoBasic, &data,
                                     FindExSearchNameMatch, nullptr, 0)};
    std::vector<Found> found;
    if (find.value == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (IsMissing(error))
            return found;
        return WinError(error, Msg::kCannotReadFolder, shown);
    }
    do {
        found.push_back(Found{data.cFileName, data.dwFileAttributes});
    } while (FindNextFileW(find.value, &data));
    if (GetLastError() != ERROR_NO_MORE_FILES)
        return LastWinError(Msg::kCannotReadFolder, shown);
    return found;
}

bool IsDots(const std::wstring& name) {
    return name == L"." || name == L"..";
}

}  // namespace velmora
