#include "container/relative_path.h"

#include <gtest/gtest.h>

#include <string>

namespace velmora {
namespace {

// Every refusal of a stored path, for each kind's syntax: what is kept is
// given back as its components ("a|b"), what is refused as its reason.
TEST(RelativePathTest, StoredPathsParseOnceOrAreRefusedWithTheKindsReason) {
    struct Case {
        const char* what;
        const PathSyntax& syntax;
        std::string text;
        bool folder_mark;
        std::string components;  // "" when refused
        std::optional<Msg> fault;
    };
    const PathSyntax& kLegacy = kLegacyStoredPath;
    const PathSyntax& kSealed = kSealedStoredPath;
    constexpr Msg kEmpty = Msg::kNameWithEmptyPart;
    constexpr Msg kForbidden = Msg::kNameWithForbiddenCharacters;
    constexpr std::nullopt_t kKept = std::nullopt;
    const std::vector<Case> cases = {
        {"legacy file", kLegacy, "a\\b", false, "a|b", kKept},
        {"legacy folder", kLegacy, "a\\b\\", true, "a|b", kKept},
        {"legacy folder ending in a space", kLegacy, "a \\", true, "a ", kKept},
        {"parent step", kLegacy, "..\\x", false, "", kEmpty},
        {"parent steps below a folder", kLegacy, "a\\..\\..\\x", false, "", kEmpty},
        {"empty component", kLegacy, "a\\\\b", false, "", kEmpty},
        {"dot component", kLegacy, ".\\b", false, "", kEmpty},
        {"folder mark alone", kLegacy, "\\", true, "", kEmpty},
        {"control character", kLegacy, "a\x01", false, "", kForbidden},
        {"NUL", kLegacy, std::string("a\0c", 3), false, "", kForbidden},
        {"code 0x81, undefined", kLegacy, "a\x81", false, "", kForbidden},
        {"slash, a separator it forbids", kLegacy, "a/b", false, "", kForbidden},
        {"colon", kLegacy, "c:x", false, "", kForbidden},
        {"final space", kLegacy, "a ", false, "", Msg::kStoredNameEndsInSpace},
        {"a code before a final space", kLegacy, "a\x01 ", false, "", kForbidden},
        {"sealed path", kSealed,
         "\xC5\x81\xC3\xB3"
         "d\xC5\xBA/...",
         false,
         "\xC5\x81\xC3\xB3"
         "d\xC5\xBA|...",
         kKept},
        {"hidden name", kSealed, ".oculto", false, ".oculto", kKept},
        {"absolute form", kSealed, "/a", false, "", kEmpty},
        {"trailing /", kSealed, "a/", false, "", kEmpty},
        {"doubled /", kSealed, "a//b", false, "", kEmpty},
        {"empty path", kSealed, "", false, "", kEmpty},
        {". component", kSealed, "a/./b", false, "", kEmpty},
        {".. component", kSealed, "a/..", false, "", kEmpty},
        {"lone ..", kSealed, "..", false, "", kEmpty},
        {"backslash, a separator it forbids", kSealed, "a\\b", false, "",
         Msg::kSealedEntryForbiddenCharacter},
        {"NUL in a sealed path", kSealed, std::string("a\0b", 3), false, "",
         Msg::kSealedEntryForbiddenCharacter},
        {"component of 1024 bytes", kSealed, std::string(1024, 'n'), false, std::string(1024, 'n'),
         kKept},
        {"component of 1025 bytes", kSealed, "a/" + std::string(1025, 'n'), false, "",
         Msg::kSealedEntryTooLong},
        {"program form keeps what the system decides", kProgramPath, "a:b\\c \\", true, "a:b|c ",
         kKept},
        {"program form: parent step", kProgramPath, "a\\..", false, "", kEmpty},
    };
    for (const Case& c : cases) {
        const RelativePath::Parsed parsed = RelativePath::Parse(c.text, c.syntax, c.folder_mark);
        EXPECT_EQ(parsed.fault, c.fault) << c.what;
        std::string joined;
        for (std::size_t i = 0; i < parsed.path.size(); ++i)
            joined += (i == 0 ? "" : "|") + std::string(parsed.path[i]);
        EXPECT_EQ(joined, c.components) << c.what;
    }
}

}  // namespace
}  // namespace velmora
