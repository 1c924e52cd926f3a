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
    const std::vector<Case> cases = {
        {"legacy file", kLegacyStoredPath, "a\\b", false, "a|b", {}},
        {"legacy folder", kLegacyStoredPath, "a\\b\\", true, "a|b", {}},
        {"legacy folder ending in a space", kLegacyStoredPath, "a \\", true, "a ", {}},
        {"parent step", kLegacyStoredPath, "..\\x", false, "", Msg::kNameWithEmptyPart},
        {"parent steps below a folder", kLegacyStoredPath, "a\\..\\..\\x", false, "",
         Msg::kNameWithEmptyPart},
        {"empty component", kLegacyStoredPath, "a\\\\b", false, "", Msg::kNameWithEmptyPart},
        {"dot component", kLegacyStoredPath, ".\\b", false, "", Msg::kNameWithEmptyPart},
        {"folder mark alone", kLegacyStoredPath, "\\", true, "", Msg::kNameWithEmptyPart},
        {"control character", kLegacyStoredPath, "a\x01", false, "",
         Msg::kNameWithForbiddenCharacters},
        {"NUL", kLegacyStoredPath, std::string("a\0c", 3), false, "",
         Msg::kNameWithForbiddenCharacters},
        {"code 0x81, undefined", kLegacyStoredPath, "a\x81", false, "",
         Msg::kNameWithForbiddenCharacters},
        {"slash, a separator it forbids", kLegacyStoredPath, "a/b", false, "",
         Msg::kNameWithForbiddenCharacters},
        {"colon", kLegacyStoredPath, "c:x", false, "", Msg::kNameWithForbiddenCharacters},
        {"final space", kLegacyStoredPath, "a ", false, "", Msg::kStoredNameEndsInSpace},
        {"a code before a final space", kLegacyStoredPath, "a\x01 ", false, "",
         Msg::kNameWithForbiddenCharacters},
        {"sealed path",
         kSealedStoredPath,
         "\xC5\x81\xC3\xB3"
         "d\xC5\xBA/...",
         false,
         "\xC5\x81\xC3\xB3"
         "d\xC5\xBA|...",
         {}},
        {"hidden name", kSealedStoredPath, ".oculto", false, ".oculto", {}},
        {"absolute form", kSealedStoredPath, "/a", false, "", Msg::kNameWithEmptyPart},
        {"trailing /", kSealedStoredPath, "a/", false, "", Msg::kNameWithEmptyPart},
        {"doubled /", kSealedStoredPath, "a//b", false, "", Msg::kNameWithEmptyPart},
        {"empty path", kSealedStoredPath, "", false, "", Msg::kNameWithEmptyPart},
        {". component", kSealedStoredPath, "a/./b", false, "", Msg::kNameWithEmptyPart},
        {".. component", kSealedStoredPath, "a/..", false, "", Msg::kNameWithEmptyPart},
        {"lone ..", kSealedStoredPath, "..", false, "", Msg::kNameWithEmptyPart},
        {"backslash, a separator it forbids", kSealedStoredPath, "a\\b", false, "",
         Msg::kSealedEntryForbiddenCharacter},
        {"NUL in a sealed path", kSealedStoredPath, std::string("a\0b", 3), false, "",
         Msg::kSealedEntryForbiddenCharacter},
        {"component of 1024 bytes",
         kSealedStoredPath,
         std::string(1024, 'n'),
         false,
         std::string(1024, 'n'),
         {}},
        {"component of 1025 bytes", kSealedStoredPath, "a/" + std::string(1025, 'n'), false, "",
         Msg::kSealedEntryTooLong},
        {"program form keeps what the system decides",
         kProgramPath,
         "a:b\\c \\",
         true,
         "a:b|c ",
         {}},
        {"program form: parent step", kProgramPath, "a\\..", false, "", Msg::kNameWithEmptyPart},
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
