#include <gtest/gtest.h>

#include <optional>

#include "base/messages.h"
#include "base/utf8.h"
#include "tests/sealed_support.h"

namespace velmora {
namespace {

// An index entry as bytes, written here field by field from the format's
// description rather than by the code under test, so that entries no writer
// makes can be read.
struct RawEntry {
    SealedEntry entry;
    std::optional<std::uint8_t> kind;          // instead of the entry's own
    std::optional<std::uint16_t> path_length;  // instead of the path's own
};

template <typename Integer>
void Put(std::vector<std::uint8_t>& out, Integer value) {
    for (std::size_t i = 0; i < sizeof(Integer); ++i)
        out.push_back(static_cast<std::uint8_t>(static_cast<std::uint64_t>(value) >> (8 * i)));
}

std::vector<std::uint8_t> RawIndex(std::uint64_t count, const std::vector<RawEntry>& entries) {
    std::vector<std::uint8_t> bytes;
    Put(bytes, count);
    for (const RawEntry& raw : entries) {
        const SealedEntry& e = raw.entry;
        bytes.push_back(raw.kind.value_or(e.folder ? 1 : 2));
        Put(bytes, raw.path_length.value_or(static_cast<std::uint16_t>(e.path.size())));
        bytes.insert(bytes.end(), e.path.begin(), e.path.end());
        Put(bytes, e.size);
        Put(bytes, e.mtime_s);
        Put(bytes, e.mtime_ns);
        Put(bytes, e.attributes);
        Put(bytes, e.mode);
    }
    return bytes;
}

// A container whose plaintext is all index, as the header says, read back.
Result<SealedTree> ReadIndexOf(const std::vector<std::uint8_t>& plaintext) {
    return OpenTree(
        SealPlaintext(plaintext, "secreto", kFastParameters, SIZE_MAX, plaintext.size()),
        "secreto");
}

struct Refusal {
    const char* what;
    std::vector<RawEntry> entries;
    std::uint64_t number;  // of the entry refused
    Msg why;
};

TEST(SealedIndexTest, EntriesThatBreakTheRulesAreRefusedByName) {
    const RawEntry root{Folder("")};
    const std::string too_long(32768, 'n');
    using enum Msg;
    constexpr Msg kBadFields = kSealedEntryBadFields;
    const std::vector<Refusal> refusals = {
        {"entry 0 a file", {{File("", 0)}}, 0, kSealedEntryNotRoot},
        {"entry 0 with a name", {{Folder("a")}}, 0, kSealedEntryNotRoot},
        {"invalid UTF-8", {root, {File("a\xC3(", 0)}}, 1, kSealedEntryNotUtf8},
        {"overlong UTF-8", {root, {File("\xC0\xAF", 0)}}, 1, kSealedEntryNotUtf8},
        {"a surrogate", {root, {File("\xED\xA0\x80", 0)}}, 1, kSealedEntryNotUtf8},
        {"past U+10FFFF", {root, {File("\xF4\x90\x80\x80", 0)}}, 1, kSealedEntryNotUtf8},
        {"a character cut short", {root, {File("\xE6\x97", 0)}}, 1, kSealedEntryNotUtf8},
        {"an empty path after entry 0", {root, {Folder("")}}, 1, kNameWithEmptyPart},
        {"a folder not yet seen", {root, {File("x/y", 0)}}, 1, kInFolderNotCreated},
        {"a folder seen after its entries",
         {root, {File("x/y", 0)}, {Folder("x")}},
         1,
         kInFolderNotCreated},
        {"a file as a folder", {root, {File("f", 0)}, {File("f/y", 0)}}, 2, kInFolderNotCreated},
        {"a file twice", {root, {File("a", 0)}, {File("a", 0)}}, 2, kNameTwice},
        {"a folder and a file of one name", {root, {Folder("a")}, {File("a", 0)}}, 2, kNameTwice},
        {"a folder with a size", {root, {{.path = "s", .folder = true, .size = 1}}}, 1, kBadFields},
        {"a billion ns", {root, {{.path = "t", .mtime_ns = 1'000'000'000}}}, 1, kBadFields},
        {"mode bits above 07777", {root, {{.path = "m", .mode = 010000}}}, 1, kBadFields},
        {"kind 0", {root, {File("k", 0), 0}}, 1, kBadFields},
        {"kind 3", {root, {File("k", 0), 3}}, 1, kBadFields},
        {"a path of 32768 bytes", {root, {File(too_long, 0)}}, 1, kSealedEntryTooLong},
        {"a path length of 65535 claimed",
         {root, {File("p", 0), std::nullopt, 65535}},
         1,
         kSealedEntryTooLong},
        {"the largest size", {root, {File("big", UINT64_MAX)}}, 1, kSealedEntryTooLarge},
        {"a size one byte past what follows", {root, {File("a", 101)}}, 1, kSealedEntryTooLarge},
        {"sizes that together pass the container",
         {root, {File("a", 60)}, {File("b", 60)}},
         2,
         kSealedEntryTooLarge},
        {"sizes whose sum overflows",
         {root, {File("a", 10)}, {File("b", UINT64_MAX - 5)}},
         2,
         kSealedEntryTooLarge},
    };
    for (const Refusal& r : refusals) {
        SCOPED_TRACE(r.what);
        // 100 bytes of file data after the index: a file may claim them all
        // (a round trip's last file does), not one more.
        std::vector<std::uint8_t> plaintext = RawIndex(r.entries.size(), r.entries);
        plaintext.resize(plaintext.size() + 100, 'd');
        Result<SealedTree> read = ReadIndexOf(plaintext);
        ASSERT_FALSE(read);
        EXPECT_EQ(FaultOf(read.error()), SealedFault::kDamaged);
        // A path longer than any accepted is refused unread, so unnamed.
        const RawEntry& refused = r.entries[r.number];
        const std::string& path = refused.entry.path;
        const std::string shown =
            refused.path_length.value_or(path.size()) > kSealedMaxPathBytes ? "" : ShownUtf8(path);
        EXPECT_EQ(
            read.error().message,
            DamagedError(Text(Msg::kSealedBadEntry, {std::to_string(r.number), shown, Text(r.why)}))
                .message);
        // The writer refuses what the reader would, so it never makes a
        // container that cannot be restored; raw bytes it is not given, nor
        // sizes, which only the container bounds.
        if (r.why == kSealedEntryTooLarge ||
            std::any_of(r.entries.begin(), r.entries.end(),
                        [](const RawEntry& e) { return e.kind || e.path_length; }))
            continue;
        std::vector<SealedEntry> entries;
        for (const RawEntry& raw : r.entries)
            entries.push_back(raw.entry);
        const Result<std::vector<std::uint8_t>> written = EncodeSealedIndex(entries);
        ASSERT_FALSE(written);
        EXPECT_EQ(written.error().message,
                  Text(Msg::kSealedNameNotStorable, {ShownUtf8(path), Text(r.why)}));
    }
}

TEST(SealedIndexTest, AnEntryCountTheContainerCannotHoldIsRefusedFirst) {
    const std::vector<RawEntry> two = {{Folder("")}, {File("a", 0)}};
    for (const std::uint64_t count :
         {std::uint64_t{0}, std::uint64_t{3}, std::uint64_t{1} << 40, UINT64_MAX}) {
        Result<SealedTree> read = ReadIndexOf(RawIndex(count, two));
        ASSERT_FALSE(read) << count;
        EXPECT_EQ(read.error().message,
                  DamagedError(Text(Msg::kSealedEntryCountWrong, {std::to_string(count)})).message);
    }
}

TEST(SealedIndexTest, ExactNamesDatesAndPermissionsRoundTrip) {
    std::string deep;
    std::vector<SealedEntry> entries = {{"", true, 0, -1, 1, 0x10, 07777}};
    // 32 folders of 1023-byte names: a path of exactly 32767 bytes.
    for (int level = 0; level < 32; ++level) {
        deep += (level ? "/" : "") + std::string(1023, static_cast<char>('a' + level % 26));
        entries.push_back(Folder(deep));
    }
    ASSERT_EQ(deep.size(), kSealedMaxPathBytes);
    for (const char* name : {"Łódź", "Łódź/日本", "A", "a", "...", ".oculto", "punto."})
        entries.push_back(Folder(name));
    for (const char* name :
         {"Łódź/日本/Ünïcödé ñ.txt", "con espacio ", "con:dos*puntos?", "e\u0301", "a/e\u0301"})
        entries.push_back(File(name, 0));
    entries.push_back({std::string(1024, 'x'), false, 0, INT64_MAX, 0, 0x27, 04755});
    // The last file claims all that follows the index, as much as it may.
    entries.push_back({"último", false, 5, INT64_MIN, 999999999, 0xFF, 0});

    // Every file empty but the last.
    const SealedTree tree{entries, {"", "", "", "", "", "", "datos"}};
    const Result<SealedTree> read = OpenTree(SealTree(tree, "secreto", kFastParameters), "secreto");
    ASSERT_TRUE(read) << read.error().message;
    EXPECT_EQ(read.value(), tree);
}

TEST(SealedIndexTest, NamesAreShownInMessagesWithoutControlCharacters) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"plain.txt", "plain.txt"},
        {"a\xC3\xB1o", "a\xF1o"},  // ñ is in Windows-1252
        {"\xC5\x81\xC3\xB3"
         "d\xC5\xBA",
         "\x81\xC5\x81\xF3"
         "d\x81\xC5\xBA"},                               // Łódź: Ł and ź are not: marked
        {"\xE6\x97\xA5", "\x81\xE6\x97\xA5"},            // 日
        {"\xE2\x82\xAC\xE2\x80\xAE\xC2\x9B", "\x80??"},  // €, a bidi override, a C1 control
        {"a\nb\x1B", "a\\x0Ab\\x1B"},
        {"\xFF\xC3", "\\xFF\\xC3"},  // not UTF-8
    };
    for (const auto& [path, shown] : cases) {
        EXPECT_EQ(ShownUtf8(path), shown) << path;
    }
}

}  // namespace
}  // namespace velmora
