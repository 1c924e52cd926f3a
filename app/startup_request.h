#pragma once

#include <string>

#include "platform/file_system.h"

namespace velmora {

// What a start-up command line asks for (see Form_Load for the line).
struct StartupRequest {
    enum class Verb {
        kSeal,    // the sealed verb: the line begins with "/S "
        kDecode,  // a container of either kind: the line ends in "/C"
        kFolder,  // anything else: a folder to encode, or nothing
    };
    Verb verb;
    // The path: the text after the sealed verb's prefix, before "/C", or the
    // whole line. Where the file system refuses quotes in a name (Windows),
    // a pair of quotes around the whole line or around the path, with no
    // other quote inside, is the quoting of whoever wrote the line (a
    // shortcut, a script), not part of the path, and is removed.
    std::string path;
};

StartupRequest ParseStartupLine(const std::string& line, const FileSystem& files);

}  // namespace velmora
