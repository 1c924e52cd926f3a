#include "container/relative_path.h"

#include <algorithm>
#include <limits>

#include "base/name_text.h"
#include "container/sealed/sealed_format.h"

namespace velmora {
namespace {

bool SealedHolds(unsigned char code) {
    return code != '\\' && code != 0;
}
constexpr std::size_t kAnyLength = std::numeric_limits<std::size_t>::max();

bool ProgramHolds(unsigned char code) {
    return code != 0;
}

}  // namespace

const PathSyntax kLegacyStoredPath = {.separator = '\\',
                                      .holds = IsStorableNameCode,
                                      .forbidden_code = Msg::kNameWithForbiddenCharacters,
                                      .ends_in_space = Msg::kStoredNameEndsInSpace,
                                      .longest_component = kAnyLength,
                                      .component_too_long = Msg::kNamePartTooLong};
const PathSyntax kSealedStoredPath = {.separator = '/',
                                      .holds = SealedHolds,
                                      .forbidden_code = Msg::kSealedEntryForbiddenCharacter,
                                      .ends_in_space = std::nullopt,
                                      .longest_component = kSealedMaxNameBytes,
                                      .component_too_long = Msg::kSealedEntryTooLong};
const PathSyntax kProgramPath = {.separator = '\\',
                                 .holds = ProgramHolds,
                                 .forbidden_code = Msg::kNameWithForbiddenCharacters,
                                 .ends_in_space = std::nullopt,
                                 .longest_component = kAnyLength,
                                 .component_too_long = Msg::kNamePartTooLong};

RelativePath::Parsed RelativePath::Parse(std::string_view text, const PathSyntax& syntax,
                                         bool folder_mark) {
    Parsed parsed;
    for (const char c : text)
        if (!syntax.holds(static_cast<unsigned char>(c)))
            return {syntax.forbidden_code, {}};
    if (syntax.ends_in_space && !text.empty() && text.back() == ' ')
        return {syntax.ends_in_space, {}};
    if (folder_mark && !text.empty() && text.back() == syntax.separator)
        text.remove_suffix(1);
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(text.find(syntax.separator, start), text.size());
        const std::string_view name = text.substr(start, end - start);
        if (name.empty() || name == "." || name == "..")
            return {Msg::kNameWithEmptyPart, {}};
        if (name.size() > syntax.longest_component)
            return {syntax.component_too_long, {}};
        parsed.path.components_.emplace_back(start, name.size());
        if (end == text.size())
            break;
        start = end + 1;
    }
    parsed.path.text_ = std::string(text);
    return parsed;
}

std::string RelativePath::Uncreatable(const PathCodec& paths, std::size_t longest_name) const {
    for (std::size_t i = 0; i < size(); ++i) {
        const std::string component((*this)[i]);
        // A character takes at most three bytes in the system's form: names
        // within a third of the limit need no conversion to be measured.
        if (component.size() * 3 > longest_name && paths.NativeNameSize(component) > longest_name)
            return Text(Msg::kNamePartTooLong);
        if (const std::string why = paths.UncreatableName(component); !why.empty())
            return why;
    }
    return "";
}

}  // namespace velmora
