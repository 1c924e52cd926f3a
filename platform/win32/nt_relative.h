#pragma once

#include <windows.h>
#undef DeleteFile

#include <string>
#include <vector>

#include "platform/win32/win32_entries.h"

// The native calls that reach an entry by one name inside an open folder:
// NtCreateFile with the folder's handle as the root and the single name as
// the object name, so no path is resolved again; and what is done through
// the handle then (listing, delete, rename). Each returns the Windows error
// of the failure (ERROR_SUCCESS when it worked).
namespace velmora {

// What a relative open asks for.
struct RelativeOpen {
    ACCESS_MASK access = FILE_READ_ATTRIBUTES;
    ULONG share = kShareAll;
    ULONG disposition = 1;  // FILE_OPEN; FILE_CREATE is 2
    // FILE_DIRECTORY_FILE or FILE_NON_DIRECTORY_FILE when the kind matters.
    ULONG kind = 0;
};
inline constexpr ULONG kNtOpen = 1;
inline constexpr ULONG kNtCreate = 2;
inline constexpr ULONG kNtFolderOnly = 0x00000001;  // FILE_DIRECTORY_FILE
inline constexpr ULONG kNtFileOnly = 0x00000040;    // FILE_NON_DIRECTORY_FILE

// Opens `name` inside `folder`, the name itself: a reparse point is opened,
// never followed (FILE_OPEN_REPARSE_POINT). An empty name opens the folder
// itself again.
DWORD OpenRelative(HANDLE folder, const std::wstring& name, const RelativeOpen& how,
                   HANDLE* opened);

// Every name of the folder with its attributes as the folder lists them,
// "." and ".." left out; or, given a name, that entry alone (an empty list
// when it is not there). Through a fresh handle of the folder, since a
// handle keeps the first name it was searched for.
DWORD ListRelative(HANDLE folder, const std::wstring& only, std::vector<Found>* found);

// False when the path the system keeps for the open entry now names
// another entry. Windows tracks the entry itself; Wine's server deletes and
// renames by the full path it recorded at the open, which a folder renamed
// or swapped for a link above it since then redirects.
bool RecordedPathStillLeadsTo(HANDLE entry);

// Deletes the open entry: the name goes at once where the system has POSIX
// semantics (FileDispositionInformationEx), otherwise when the last handle
// closes.
DWORD DeleteOpen(HANDLE entry);

// Gives the open entry the name `name` in the folder `folder`, never
// replacing an existing entry.
DWORD RenameOpen(HANDLE entry, HANDLE folder, const std::wstring& name);

}  // namespace velmora
