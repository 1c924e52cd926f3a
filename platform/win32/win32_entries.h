#pragma once

#include <windows.h>
#undef DeleteFile

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

// What the Windows file system layer reads from handles and searches.
namespace velmora {

// What identifies a file beyond its name.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    std::int64_t size = 0;
    std::uint64_t creation_time = 0;
    std::uint64_t links = 0;
    bool operator==(const FileIdentity&) const = default;
};

inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// Opens the name itself: a reparse point is opened, not followed, and
// folders can be opened too.
inline constexpr DWORD kNoFollow = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;
inline constexpr int kStoredAttributes = kReadOnly | kHidden | kSystem | kFolder | kArchive;

struct Handle {
    HANDLE value = INVALID_HANDLE_VALUE;
    explicit Handle(HANDLE h) : value(h) {}
    ~Handle() {
        if (value != INVALID_HANDLE_VALUE)
            CloseHandle(value);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool ok() const { return value != INVALID_HANDLE_VALUE; }
};

struct FindHandle {
    HANDLE value;
    ~FindHandle() {
        if (value != INVALID_HANDLE_VALUE)
            FindClose(value);
    }
};

struct Found {
    std::wstring name;
    DWORD attributes;
};

// File times count 100 ns from 1601-01-01 UTC; the program's times count
// nanoseconds from 1970-01-01 UTC.
inline constexpr std::int64_t kUnixEpochAsFileTime = 116444736000000000LL;
std::int64_t UnixNanoseconds(std::int64_t file_time);
std::int64_t FileTimeOf(std::int64_t unix_ns);

// The attributes the container keeps; 128 (normal) when none is set.
int StoredAttributes(DWORD native);

// What the handle says of its file; `listed_attributes` are the attributes
// the name itself showed (a directory search, GetFileAttributesW), which
// Wine marks as a reparse point where the handle's own do not.
Result<EntryInfo> InfoOfHandle(HANDLE handle, const std::string& shown,
                               DWORD listed_attributes = 0);
Result<FileIdentity> IdentityOf(HANDLE handle, const std::string& shown);
// A listed name as a folder's listing gives it: what its handle says, with
// the attributes the listing showed.
Result<DirEntry> ListedEntry(std::string name, HANDLE handle, const std::string& shown,
                             DWORD listed_attributes);

// Opens the name itself, any kind of entry, never a reparse point's target.
HANDLE OpenNoFollow(const std::wstring& wide, DWORD access);

bool IsMissing(DWORD error);

std::wstring WithSeparator(std::wstring folder);

// Every name a search of folder\* gives, "." and ".." included where the
// system gives them; nothing when the folder does not exist.
Result<std::vector<Found>> Search(const std::wstring& folder, const std::string& shown);

bool IsDots(const std::wstring& name);

}  // namespace velmora
