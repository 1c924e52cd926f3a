#pragma once

#include <sys/stat.h>

#include <string>

#include "base/result.h"

namespace velmora {

// DOS attributes on a POSIX file system. Folder from the file type;
// read-only when the owner lacks write permission; hidden, system and
// archive from the extended attribute user.DOSATTRIB (text "0x" + hex, as
// Wine and Samba read it) when present, otherwise archive for a file and
// hidden for a name beginning with "."; a file with nothing set reads 128.
// `name` is the entry's own name, used for the dot rule; `shown_path` names
// the entry in messages.

// Where the entry's extended attribute is read or written: a path, an open
// descriptor (`path` empty), or (for reading only) the entry named `path`
// in the folder open as `descriptor`. A read never follows a link in the
// last component.
struct AttributeTarget {
    std::string path;
    int descriptor = -1;
};

// The attributes of an entry whose lstat (or fstat) is already at hand.
int DosAttributesOf(const struct stat& st, const AttributeTarget& target, const std::string& name);

Result<int> ReadDosAttributes(const std::string& native_path, const std::string& shown_path,
                              const std::string& name);

// Sets the read-only bit through the owner's write permission and always
// writes user.DOSATTRIB with the hidden, system and archive bits. Where the
// file system refuses user extended attributes only the read-only bit is
// kept.
Status WriteDosAttributes(const std::string& native_path, const std::string& shown_path,
                          int attributes);
// The same through a handle (a descriptor, or a path that reaches no link)
// whose fstat is st.
Status WriteDosAttributesThrough(const AttributeTarget& handle, const struct stat& st,
                                 const std::string& shown_path, int attributes);

}  // namespace velmora
