#pragma once

#include <cstddef>
#include <string>

#include "base/result.h"
#include "platform/names.h"

namespace velmora {

// The program's paths and names as the system writes and shows them: what
// messages and formats need. Paths are Windows-1252 texts (or UTF-8, see
// SetNameCoding) with "\" between components, whatever the platform; each
// system converts at its own edge. Nothing here changes or deletes an
// entry, and nothing is kept open: the disk is only asked about the folders
// a run starts from.
class PathCodec {
  public:
    virtual ~PathCodec() = default;

    // How the program's paths write names: Windows-1252 unless set (before
    // a run opens anything) to UTF-8, every name exactly as the system
    // gives it.
    void SetNameCoding(NameCoding coding) { coding_ = coding; }
    NameCoding name_coding() const { return coding_; }

    // The path exactly as the system writes it (UTF-8 on both systems), for
    // handing on to other programs.
    virtual Result<std::string> NativeForm(const std::string& path) const = 0;
    // The path as the user knows it on this platform, still Windows-1252,
    // control bytes escaped (it goes into messages).
    virtual std::string DisplayPath(const std::string& path) const = 0;

    // A path the user gave (a command-line argument, in the system's own
    // encoding) as the program's absolute path, resolved the way the system
    // resolves it: an entry (a folder to encode, a container), whose own
    // name must have a Windows-1252 form, or a folder outside any tree (the
    // folder a container goes to), taken whole as the system gives it. By
    // default the text is taken as it is.
    enum class Given { kEntry, kOutsideFolder };
    virtual Result<std::string> FromSystemPath(const std::string& given, Given what) {
        static_cast<void>(what);
        return given;
    }
    // The process's current folder, and the folder that holds the running
    // program file, as program paths.
    virtual Result<std::string> CurrentFolder() const = 0;
    virtual Result<std::string> ProgramFolder() const = 0;

    // The length of a path in characters as the system shows it.
    virtual std::size_t CharacterCount(const std::string& path) const { return path.size(); }
    // A name's size in the system's units.
    virtual std::size_t NativeNameSize(const std::string& name) const { return name.size(); }
    // The longest whole path, in the system's units, of an entry inside a
    // tree (none where every entry is reached through its folder's handle),
    // and a program path's size in those units.
    virtual std::size_t LongestPath() const { return 4095; }
    virtual Result<std::size_t> NativePathSize(const std::string& path) const {
        return path.size();
    }
    // Why a name cannot be created on this system ("" when it can): on
    // Windows, reserved device names, trailing dots or spaces, and the
    // characters it forbids.
    virtual std::string UncreatableName(const std::string& component) const {
        static_cast<void>(component);
        return "";
    }
    // Read-only questions about the folders a run starts from, asked before
    // any of them is opened: whether path names the folder itself or
    // anything below it, judged by the identity of the real folders where the
    // system can (by default the texts are compared); and the longest name,
    // in the system's units, that the folder can hold.
    virtual Result<bool> IsSameOrInside(const std::string& path, const std::string& folder) const {
        return path == folder || path.rfind(folder + "\\", 0) == 0;
    }
    virtual Result<std::size_t> LongestName(const std::string& folder) const {
        static_cast<void>(folder);
        return std::size_t{255};
    }
    // Whether the system takes two names that differ only in case for the
    // same name (Windows does).
    virtual bool IgnoresCase() const { return false; }

  protected:
    NameCoding coding_ = NameCoding::kWindows1252;
};

}  // namespace velmora
