#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/messages.h"
#include "platform/path_codec.h"

namespace velmora {

// How a kind of container writes a path below the restored folder.
struct PathSyntax {
    char separator;                     // between components
    bool (*holds)(unsigned char code);  // the codes a path may hold, separators included
    Msg forbidden_code;                 // why a code it does not hold is refused
    std::optional<Msg> ends_in_space;   // why a final space is refused, where it is
    std::size_t longest_component;      // in bytes
    Msg component_too_long;
};

// The legacy kind's stored names after their leading "\" (Windows-1252, no
// ":", "/" or control code), the sealed kind's index paths ("a/b", UTF-8
// already checked, no "\" or NUL), and the program's own form of either
// after its leading "\" (the restore's check of what this system creates).
extern const PathSyntax kLegacyStoredPath;
extern const PathSyntax kSealedStoredPath;
extern const PathSyntax kProgramPath;

// Where a restore writes is decided here: a path parsed once from what a
// container stores, every component a single name that stays inside the
// folder it is made in. Refused: a code the kind does not hold (its
// forbidden separators among them), an empty component (an absolute form,
// a doubled or trailing separator, an empty path), "." and "..", and a
// component longer than the kind keeps. The restore then makes each
// component through its folder's handle (folder_handles.h,
// staging_folder.h), never by a whole path.
class RelativePath {
  public:
    struct Parsed;
    // `folder_mark`: the text ends in one separator that marks a folder.
    static Parsed Parse(std::string_view text, const PathSyntax& syntax, bool folder_mark = false);

    std::size_t size() const { return components_.size(); }
    std::string_view operator[](std::size_t i) const {
        return std::string_view(text_).substr(components_[i].first, components_[i].second);
    }
    // Why this system cannot create one of the components ("" when it can):
    // longer than `longest_name` in the system's units, or a name it refuses.
    std::string Uncreatable(const PathCodec& paths, std::size_t longest_name) const;

  private:
    std::string text_;
    std::vector<std::pair<std::size_t, std::size_t>> components_;  // offset, length
};

struct RelativePath::Parsed {
    std::optional<Msg> fault;
    RelativePath path;  // empty when refused
};

}  // namespace velmora
