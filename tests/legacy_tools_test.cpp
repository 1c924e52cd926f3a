#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "base/cp1252.h"
#include "base/messages.h"
#include "cipher/cipher_tables.h"
#include "container/byte_source.h"
#include "container/conversion.h"
#include "container/legacy/container_format.h"
#include "container/legacy/legacy_reader.h"
#include "container/restore.h"
#include "container/sealed/sealed_index.h"

namespace velmora {

// An entry of a converted index, shown whole when a comparison fails (found by
// argument-dependent lookup, so beside the type's namespace, not in an
// unnamed one).
void PrintTo(const SealedEntry& e, std::ostream* out) {
    *out << "{" << e.path << (e.folder ? "/" : "") << " " << e.size << " " << e.mtime_s << "."
         << e.mtime_ns << " attributes " << int{e.attributes} << " mode " << std::oct << e.mode
         << std::dec << "}";
}

namespace {

// One password of the table and its key.
struct Row {
    std::string password;
    std::string key;
};

// Every Windows-1252 code a typed password can hold: no control code and
// none of the five the code page leaves undefined.
std::vector<char> TypableCodes() {
    std::vector<char> codes;
    for (int code = 32; code < 256; ++code)
        if (code != 127 && !IsUndefinedCp1252(static_cast<unsigned char>(code)))
            codes.push_back(static_cast<char>(code));
    return codes;
}

class LegacyKeyTest : public ::testing::Test {
  protected:
    LegacyKeyTest() : tables(nullptr) { tables.CrearBuffer(); }

    // A container under the key: its header, then a folder entry and two
    // empty files, their names encoded as the encoder encodes them.
    std::vector<std::uint8_t> ContainerOf(const std::string& key,
                                          std::vector<std::string> names = {
                                              "\\vac\xEDo\\", "\\Carta.txt", "\\sub\\x"}) {
        const auto head = SerializeHeader(
            {16, static_cast<std::int32_t>(names.size()), 0, MakePasswordCheck(tables, key)});
        std::vector<std::uint8_t> bytes(head.begin(), head.end());
        for (const std::string& name : names) {
            const auto record =
                SerializeRecord({tables.Enc(name, key), 32, 16, name.back() == '\\' ? -1 : 0}, 0);
            bytes.insert(bytes.end(), record.begin(), record.end());
        }
        return bytes;
    }

    Result<std::string> Recover(const std::vector<std::uint8_t>& bytes) {
        MemoryByteSource source(bytes);
        return RecoverKey(tables, source, ParseHeader(bytes.data()));
    }

    // Passwords of every length from 1 to 15 over every typable code, at
    // least `per_length` each, with keys whose check value begins or ends
    // with a space among them; passwords the key derivation refuses (the
    // division sign in key positions 9 to 15) are not keys and are left out.
    std::vector<Row> Table(int per_length) {
        const std::vector<char> codes = TypableCodes();
        std::mt19937 random(20261207);
        std::uniform_int_distribution<std::size_t> pick(0, codes.size() - 1);
        std::vector<Row> rows;
        int leading = 0;
        int trailing = 0;
        for (std::size_t length = 1; length <= kKeyLength; ++length) {
            for (int made = 0;
                 made < per_length || (length == kKeyLength && (leading < 8 || trailing < 8));) {
                Row row;
                for (std::size_t i = 0; i < length; ++i)
                    row.password.push_back(codes[pick(random)]);
                const Result<std::string> key = DeriveKey(row.password);
                if (!key)
                    continue;
                row.key = key.value();
                const std::string check = MakePasswordCheck(tables, row.key);
                leading += check.front() == ' ';
                trailing += check.back() == ' ';
                rows.push_back(row);
                ++made;
            }
        }
        // The division sign where the key derivation takes it: key positions
        // 1 to 8 (codes 248 to 255); elsewhere it is no key at all.
        for (std::size_t position = 1; position <= kKeyLength; ++position) {
            std::string password(kKeyLength, 'k');
            password[position - 1] = '\xF7';
            const Result<std::string> key = DeriveKey(password);
            EXPECT_EQ(key.ok(), position <= 8) << position;
            if (!key)
                continue;
            EXPECT_EQ(static_cast<unsigned char>(key.value()[position - 1]), 247 + position);
            rows.push_back({password, key.value()});
        }
        return rows;
    }

    CipherTables tables;
};

// Both keys of a check value reproduce it, and one of them is the key the
// check value was made from; the stored names pick that one. For passwords
// of every length and character, check values with spaces at either end and
// the division sign's keys included.
TEST_F(LegacyKeyTest, TheCheckValueGivesTwoKeysAndTheStoredNamesPickTheKey) {
    const std::vector<Row> rows = Table(200);
    std::vector<std::vector<std::uint8_t>> containers;
    for (const Row& row : rows) {
        const std::string check = MakePasswordCheck(tables, row.key);
        const std::vector<std::string> keys = KeysFromCheckValue(check);
        ASSERT_EQ(keys.size(), 2u) << row.password;  // the key among them: recovered below
        for (std::size_t i = 0; i < kKeyLength; ++i)
            EXPECT_EQ(static_cast<unsigned char>(keys[0][i] ^ keys[1][i]), 128) << row.password;
        for (const std::string& key : keys)
            for (std::size_t i = 1; i <= kKeyLength; ++i)
                EXPECT_EQ(tables.EncCharacter(key, i, key), check[i - 1]) << row.password;
        containers.push_back(ContainerOf(row.key));
    }
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const Result<std::string> key = Recover(containers[r]);
        ASSERT_TRUE(key.ok()) << rows[r].password << ": " << key.error().message;
        EXPECT_EQ(key.value(), rows[r].key) << rows[r].password;
    }
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    std::printf("key recovery: %zu keys found from their containers, %.1f us each\n", rows.size(),
                took.count() / static_cast<double>(rows.size()));
}

// Any change of one byte of the check value, and a name that does not
// begin as the others do, leave no key that fits; a container without a
// name cannot tell the two keys apart. Either way there is no key.
TEST_F(LegacyKeyTest, ADamagedHeaderOrNameGivesNoKey) {
    const std::string none = Text(Msg::kKeyNotFoundNoneFits);
    for (const char* password : {"clave", "\xC0]x",
                                 "\xD8"
                                 "abcdefghijklm8",
                                 "Contrase\xF1"
                                 "a"}) {
        const std::string key = DeriveKey(password).value();
        const std::vector<std::uint8_t> valid = ContainerOf(key);
        ASSERT_TRUE(Recover(valid).ok()) << password;
        for (std::size_t byte = 6; byte < 6 + kPasswordCheckWidth; ++byte) {
            for (const int change : {1, 2, 64, 128, 255}) {
                std::vector<std::uint8_t> damaged = valid;
                damaged[byte] = static_cast<std::uint8_t>(damaged[byte] + change);
                const Result<std::string> found = Recover(damaged);
                ASSERT_FALSE(found.ok()) << password << " byte " << byte << " +" << change;
                EXPECT_EQ(found.error().message, none);
            }
        }
        // The second name's first byte: the names no longer agree on a key.
        std::vector<std::uint8_t> damaged = valid;
        damaged[kHeaderSize + RecordSize(0)] ^= 0x40;
        EXPECT_EQ(Recover(damaged).error().message, none) << password;
    }
    // Damage the header and records themselves show, which no truncation
    // makes (those: DecoderTest), is told as the decoder tells it. Past the
    // empty files, a tail where a count one too large finds a fourth record.
    std::vector<std::uint8_t> sound = ContainerOf(DeriveKey("clave").value());
    sound.insert(sound.end(), RecordSize(0), 0xAB);
    ASSERT_TRUE(Recover(sound).ok());
    const struct {
        std::size_t offset;  // of the little-endian value written over
        std::uint32_t value;
        int bytes;
        std::string told;
    } damages[] = {
        {5, 3, 1, Text(Msg::kUnknownNameWidth, {"3"})},
        {5, 255, 1, Text(Msg::kUnknownNameWidth, {"255"})},
        {1, 0xFFFFFFFF, 4, Text(Msg::kNegativeEntryCount)},
        // Under AddressSanitizer a reservation for 2^31 records would abort.
        {1, 0x7FFFFFFF, 4, Text(Msg::kRecordsDoNotFit)},
        {1, 4, 4, Text(Msg::kNegativeEntrySize, {"4"})},
        {kHeaderSize + 66, 0xFFFFFFFE, 4, Text(Msg::kNegativeEntrySize, {"1"})},
        {kHeaderSize + 70 + 66, 0x7FFFFFFF, 4, Text(Msg::kDataMissingAtEnd)},
        {kHeaderSize + 140 + 66, 0x80000000, 4, Text(Msg::kNegativeEntrySize, {"3"})},
    };
    for (const auto& d : damages) {
        std::vector<std::uint8_t> damaged = sound;
        for (int i = 0; i < d.bytes; ++i)
            damaged[d.offset + i] = static_cast<std::uint8_t>(d.value >> (8 * i));
        const Result<std::string> found = Recover(damaged);
        EXPECT_EQ(found ? "" : found.error().message, Text(Msg::kDamagedOrNotAContainer, {d.told}));
    }

    const Result<std::string> empty = Recover(ContainerOf(DeriveKey("clave").value(), {}));
    ASSERT_FALSE(empty.ok());
    EXPECT_EQ(empty.error().message, Text(Msg::kKeyNotFoundBothFit));
}

DecodedEntry Entry(std::string name, std::int64_t size = 0, std::uint8_t attributes = 32,
                   std::uint8_t parent_attributes = 16) {
    return {std::move(name), size, parent_attributes, attributes};
}

// Names that a system ignoring case would take for one: entries, folders
// they lie in, a file and a folder; names apart once upper-cased pass.
TEST(CaseCollisionsTest, NamesEqualButForCaseAreRefusedNamingBoth) {
    const struct {
        std::vector<DecodedEntry> entries;
        const char* first;  // the two named in the refusal, "" when none
        const char* second;
    } cases[] = {
        {{Entry("\\Mixto.TXT"), Entry("\\mixto.txt")}, "\\Mixto.TXT", "\\mixto.txt"},
        {{Entry("\\Cartas\\a"), Entry("\\CARTAS\\b")}, "\\Cartas", "\\CARTAS"},
        {{Entry("\\x\\Se\xF1or\\"), Entry("\\x\\SE\xD1OR\\", -1)},
         "\\x\\Se\xF1or",
         "\\x\\SE\xD1OR"},
        {{Entry("\\a"), Entry("\\A\\", -1)}, "\\a", "\\A"},
        {{Entry("\\d\\e\\f"), Entry("\\D\\g")}, "\\d", "\\D"},
        {{Entry("\\Cartas\\a"), Entry("\\Cartas\\b"), Entry("\\Cartas\\")}, "", ""},
        // Sharp s and the micro sign have no capital in Windows-1252.
        {{Entry("\\\xDF"), Entry("\\SS"), Entry("\\\xB5")}, "", ""},
        {{Entry("\\"), Entry("\\a\\", -1), Entry("\\b")}, "", ""},
    };
    for (const auto& c : cases) {
        const Status checked = CheckCaseCollisions(c.entries);
        EXPECT_EQ(checked.ok() ? "" : checked.error().message,
                  *c.first ? Text(Msg::kNamesDifferOnlyInCaseHere, {c.first, c.second}) : "")
            << c.entries[0].name;
    }
}

// The sealed index a legacy index becomes: UTF-8 names as stored, every
// folder before what lies in it, files in the legacy data order, the
// attributes as stored with permission bits from them, and one time.
TEST(ConvertedIndexTest, FoldersComeFirstFilesKeepTheirOrderAndAttributesStay) {
    RestoreIndex legacy;
    legacy.folder_attributes = 17;  // a read-only folder
    legacy.entries = {
        Entry("\\Se\xF1or\\Deeper\\m.bin", 3000, 33, 18),
        Entry("\\Se\xF1or\\n.TXT", 5, 128, 16),
        Entry("\\Vac\xEDo\\", -1, 17, 17),
        Entry("\\A\\B\\", -1, 16, 16),
        Entry("\\A\\", -1, 16, 16),  // not stored before its own subfolder's entry
        Entry("\\uno.txt", 1, 32, 17),
    };
    // 1999-12-31 23:59:59.5 UTC, and a time before 1970.
    for (const std::int64_t time : {std::int64_t{946684799500000000}, std::int64_t{-1500000000}}) {
        const std::int64_t s = time < 0 ? -2 : 946684799, ns = 500000000;
        const std::vector<SealedEntry> expected = {
            {"", true, 0, s, ns, 17, 0555},
            {"Se\xC3\xB1or", true, 0, s, ns, 16, 0755},
            {"Se\xC3\xB1or/Deeper", true, 0, s, ns, 18, 0755},
            {"Se\xC3\xB1or/Deeper/m.bin", false, 3000, s, ns, 33, 0444},
            {"Se\xC3\xB1or/n.TXT", false, 5, s, ns, 128, 0644},
            {"Vac\xC3\xADo", true, 0, s, ns, 17, 0555},
            {"A", true, 0, s, ns, 16, 0755},
            {"A/B", true, 0, s, ns, 16, 0755},
            {"uno.txt", false, 1, s, ns, 32, 0644},
        };
        const Result<std::vector<SealedEntry>> index = ConvertedIndex(legacy, time);
        ASSERT_TRUE(index.ok()) << index.error().message;
        EXPECT_EQ(index.value(), expected);
        SealedTreeCheck check;
        for (const SealedEntry& entry : expected)
            EXPECT_FALSE(check.Admit(entry).has_value()) << entry.path;
    }
    // A folder holding no file of its own is stored as "\": it is the sealed
    // folder, already first.
    legacy.entries = {Entry("\\A\\x", 1), Entry("\\", -1, 16, 16)};
    const Result<std::vector<SealedEntry>> index = ConvertedIndex(legacy, 0);
    ASSERT_TRUE(index.ok());
    EXPECT_EQ(index.value(), (std::vector<SealedEntry>{{"", true, 0, 0, 0, 17, 0555},
                                                       {"A", true, 0, 0, 0, 16, 0755},
                                                       {"A/x", false, 1, 0, 0, 32, 0644}}));
}

}  // namespace
}  // namespace velmora
