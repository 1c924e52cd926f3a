#include <gtest/gtest.h>
#include <sodium.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/messages.h"
#include "container/legacy/record_reader.h"
#include "container/sealed/plaintext_hash.h"
#include "container/sealed/sealed_header.h"
#include "container/sealed/stream_batch_layout.h"
#include "container/sealed/sodium_library.h"
#include "tests/sealed_support.h"

namespace velmora {
namespace {

// libsodium's random source, replaced for this program before libsodium is
// initialised: the system's, unless a test asks for the counting source
// (byte n of what is drawn is n mod 256), which makes a container's salt
// and stream header known in advance.
bool counting = false;
std::uint8_t next_byte = 0;

void RandomBytes(void* const out, const std::size_t size) {
    if (!counting) {
        randombytes_sysrandom_implementation.buf(out, size);
        return;
    }
    auto* bytes = static_cast<std::uint8_t*>(out);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = next_byte++;
}
std::uint32_t Random32() {
    std::uint32_t value;
    RandomBytes(&value, sizeof value);
    return value;
}
const char* RandomName() {
    return "velmora-test";
}
randombytes_implementation test_random = {RandomName, Random32,    nullptr,
                                          nullptr,    RandomBytes, nullptr};
const bool random_installed = randombytes_set_implementation(&test_random) == 0;

std::vector<std::uint8_t> Bytes(std::size_t count, std::uint8_t seed = 1) {
    std::vector<std::uint8_t> bytes(count);
    for (std::size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return bytes;
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The plaintext read back in views of at most `most` bytes, then Finish.
Result<std::vector<std::uint8_t>> OpenPlaintext(const std::vector<std::uint8_t>& container,
                                                std::size_t length, std::size_t most,
                                                std::string_view password = "secreto") {
    MemoryByteSource source(container);
    Result<SealedStreamReader> reader = SealedStreamReader::Open(source, password);
    if (!reader)
        return reader.error();
    std::vector<std::uint8_t> plaintext;
    while (plaintext.size() < length) {
        Result<std::span<const std::uint8_t>> view =
            reader->ReadView(std::min(most, length - plaintext.size()));
        if (!view)
            return view.error();
        plaintext.insert(plaintext.end(), view->begin(), view->end());
    }
    if (Status end = reader->Finish(); !end)
        return end.error();
    return plaintext;
}

SealedFault FaultOfOpening(const std::vector<std::uint8_t>& container,
                           std::string_view password = "secreto") {
    Result<SealedTree> tree = OpenTree(container, password);
    return tree ? SealedFault::kOther : FaultOf(tree.error());
}

// The tree of the golden container: names outside Windows-1252, mixed case,
// dates, permissions, and a file that spans two messages.
SealedTree GoldenTree() {
    SealedTree tree;
    tree.entries = {
        {"", true, 0, 1700000000, 0, 0x10, 0755},
        {"Łódź", true, 0, 1700000060, 500, 0x10, 0700},
        {"Łódź/日本.txt", false, 12, 1700000123, 456789012, 0x20, 0644},
        {"Notas.TXT", false, 4500, -86400, 999999999, 0x21, 0600},
    };
    const std::vector<std::uint8_t> notes = Bytes(4500, 3);
    tree.contents = {"Hola, mundo\n", std::string(notes.begin(), notes.end())};
    return tree;
}

TEST(SealedFormatTest, GoldenContainerIsRebuiltByteForByteAndReadBack) {
    ASSERT_TRUE(random_installed);
    ASSERT_TRUE(EnsureSodium());  // its own draws come before the counting starts
    counting = true;
    next_byte = 0;
    const std::vector<std::uint8_t> made = SealTree(GoldenTree(), "contraseña", kFastParameters);
    counting = false;

    // The header, a full message and one of 562 bytes (sealed-golden.md).
    EXPECT_EQ(made.size(), 130u + (4096 + 17) + (562 + 17));
    const std::vector<std::uint8_t> golden = ReadFile(VELMORA_TEST_DATA "/sealed-golden.zol");
    if (made != golden) {
        const std::string actual = ::testing::TempDir() + "sealed-golden.actual.zol";
        std::ofstream(actual, std::ios::binary)
            .write(reinterpret_cast<const char*>(made.data()),
                   static_cast<std::streamsize>(made.size()));
        FAIL() << "the container made differs from the golden one; it is in " << actual;
    }
    // The salt and the stream header are the counting source's first 40 bytes.
    for (std::size_t i = 0; i < kSealedSaltBytes + kSealedStreamHeaderBytes; ++i) {
        const std::size_t at =
            i < kSealedSaltBytes ? kSealedSaltAt + i : kSealedStreamHeaderAt + i - kSealedSaltBytes;
        EXPECT_EQ(golden[at], i) << at;
    }
    Result<SealedTree> read = OpenTree(golden, "contraseña");
    ASSERT_TRUE(read) << read.error().message;
    EXPECT_EQ(read.value(), GoldenTree());
}

// Every length around the message size and the size of the cipher thread's
// batches (past the fifth, every batch has been reused), written in pieces
// of every kind and read back in views of every size: the same bytes, in
// the canonical number of messages.
TEST(SealedFormatTest, PlaintextRoundTripsAtEveryMessageBoundary) {
    const std::size_t chunk = kFastParameters.chunk_size;
    const std::size_t batch = StreamBatchLayout(chunk).plaintext_bytes;
    for (const std::size_t length :
         {std::size_t{0}, std::size_t{1}, chunk - 1, chunk, chunk + 1, 2 * chunk, 3 * chunk + 5,
          batch - 1, batch, batch + 1, 5 * batch + chunk + 1}) {
        const std::vector<std::uint8_t> plaintext = Bytes(length);
        const std::size_t messages = length == 0 ? 1 : (length + chunk - 1) / chunk;
        for (const std::size_t piece : {std::size_t{1}, std::size_t{1000}, chunk, SIZE_MAX}) {
            if (piece == 1 && length > batch)
                continue;  // a million calls prove nothing more
            SCOPED_TRACE(testing::Message() << "length " << length << ", piece " << piece);
            const auto sealed = SealPlaintext(plaintext, "secreto", kFastParameters, piece);
            EXPECT_EQ(sealed.size(),
                      kSealedHeaderBytes + length + messages * kSealedMessageOverhead);
            for (const std::size_t most : {std::size_t{1}, std::size_t{333}, SIZE_MAX}) {
                Result<std::vector<std::uint8_t>> read = OpenPlaintext(sealed, length, most);
                ASSERT_TRUE(read) << read.error().message;
                EXPECT_EQ(read.value(), plaintext);
            }
        }
    }
}

// Filling in place: room asked for and nothing committed (a file that
// ended early) at a message or batch boundary leaves the last full message
// final.
TEST(SealedFormatTest, RoomAskedButLeftEmptyChangesNothing) {
    const std::size_t chunk = kFastParameters.chunk_size;
    const std::size_t batch = StreamBatchLayout(chunk).plaintext_bytes;
    for (const std::size_t length :
         {std::size_t{0}, chunk, 2 * chunk, chunk + 10, batch, 2 * batch, 5 * batch}) {
        SCOPED_TRACE(length);
        const std::vector<std::uint8_t> plaintext = Bytes(length);
        MemoryWrites files;
        BufferedWriter out(files, 0, 0);
        SealedStreamWriter writer =
            SealedStreamWriter::Begin(out, "secreto", kFastParameters, 8, length).value();
        std::size_t done = 0;
        while (done < length) {
            const std::span<std::uint8_t> room = writer.Space();
            ASSERT_FALSE(room.empty());
            const std::size_t now = std::min(room.size(), length - done);
            std::copy_n(plaintext.begin() + done, now, room.begin());
            ASSERT_TRUE(writer.Commit(now));
            done += now;
            ASSERT_FALSE(writer.Space().empty());
            ASSERT_TRUE(writer.Commit(0));
        }
        ASSERT_TRUE(writer.Finish());
        ASSERT_TRUE(out.Flush());
        Result<std::vector<std::uint8_t>> read = OpenPlaintext(files.bytes, length, SIZE_MAX);
        ASSERT_TRUE(read) << read.error().message;
        EXPECT_EQ(read.value(), plaintext);
    }
}

// Messages longer than the BufferedWriter's buffer take the other path out.
TEST(SealedFormatTest, MessagesLargerThanTheOutputBufferRoundTrip) {
    const SealedParameters large{1, 8192, 2u << 20};
    const std::vector<std::uint8_t> plaintext = Bytes((5u << 20) + 3);
    const auto sealed = SealPlaintext(plaintext, "secreto", large, 300000);
    EXPECT_EQ(sealed.size(), kSealedHeaderBytes + plaintext.size() + 3 * kSealedMessageOverhead);
    Result<std::vector<std::uint8_t>> read = OpenPlaintext(sealed, plaintext.size(), 1 << 20);
    ASSERT_TRUE(read) << read.error().message;
    EXPECT_EQ(read.value(), plaintext);
}

TEST(SealedFormatTest, AFailedWriteReachesTheCaller) {
    MemoryWrites files;
    files.fail_from = 2u << 20;
    BufferedWriter out(files, 0, 0);
    SealedStreamWriter writer =
        SealedStreamWriter::Begin(out, "secreto", kFastParameters, 8, 3u << 20).value();
    const std::vector<std::uint8_t> plaintext = Bytes(3u << 20);
    // Sealed batches are written while later ones are filled: the failure
    // shows at the Write or, at the latest, at Finish.
    Status written = writer.Write(plaintext.data(), plaintext.size());
    if (written)
        written = writer.Finish();
    ASSERT_FALSE(written);
    EXPECT_EQ(written.error().code, 28);
}

// At each bound of each limit, the writer and the reader agree: what one
// refuses the other refuses too.
TEST(SealedFormatTest, WriterAndReaderAgreeOnTheLimitsBounds) {
    const std::vector<std::pair<SealedParameters, bool>> cases = {
        {{1, 8192, 4096}, true},  {{64, 1u << 30, 16u << 20}, true},
        {{0, 8192, 4096}, false}, {{65, 8192, 4096}, false},
        {{1, 8191, 4096}, false}, {{1, (1u << 30) + 1, 4096}, false},
        {{1, 8192, 4095}, false}, {{1, 8192, (16u << 20) + 1}, false},
    };
    for (const auto& [parameters, accepted] : cases) {
        SCOPED_TRACE(testing::Message() << parameters.opslimit << " " << parameters.memlimit << " "
                                        << parameters.chunk_size);
        SealedHeader header;
        header.parameters = parameters;
        const SealedHeaderBytes bytes = EncodeSealedHeader(header);
        EXPECT_EQ(DecodeSealedHeader(bytes.data(), bytes.size()).ok(), accepted);
        if (accepted)
            continue;  // a writer at 1 GiB would derive for seconds
        MemoryWrites files;
        BufferedWriter out(files, 0, 0);
        Result<SealedStreamWriter> writer =
            SealedStreamWriter::Begin(out, "secreto", parameters, 8, 8);
        ASSERT_FALSE(writer);
        EXPECT_EQ(writer.error().message, Text(Msg::kSealedParametersOutOfRange));
        EXPECT_TRUE(out.Flush());
        EXPECT_TRUE(files.bytes.empty());
    }
}

// The reader's exactness: no byte of plaintext more or less than asked.
TEST(SealedFormatTest, ReadingPastTheEndOrStoppingShortIsDamage) {
    const auto sealed = SealPlaintext(Bytes(5000), "secreto", kFastParameters);
    Result<std::vector<std::uint8_t>> longer = OpenPlaintext(sealed, 5001, SIZE_MAX);
    ASSERT_FALSE(longer);
    EXPECT_EQ(longer.error().message, DamagedError(Text(Msg::kSealedEndsEarly)).message);
    for (const std::size_t shorter : {std::size_t{4999}, std::size_t{4096}, std::size_t{0}}) {
        Result<std::vector<std::uint8_t>> read = OpenPlaintext(sealed, shorter, SIZE_MAX);
        ASSERT_FALSE(read) << shorter;
        EXPECT_EQ(read.error().message, DamagedError(Text(Msg::kSealedContentLeftOver)).message);
    }
}

// Messages are opened a batch at a time on another thread: damage at a
// batch's edges is found in the message it is in, and a batch that ends
// with the final message is not taken for the end of the container.
TEST(SealedFormatTest, DamageIsFoundInItsMessageWhateverTheBatch) {
    const std::size_t chunk = kFastParameters.chunk_size;
    const std::size_t per_batch = StreamBatchLayout(chunk).messages;
    const std::size_t message = chunk + kSealedMessageOverhead;
    const std::size_t length = 3 * per_batch * chunk + 5;
    const auto sealed = SealPlaintext(Bytes(length), "secreto", kFastParameters);
    auto opening = [&](const std::vector<std::uint8_t>& bytes, std::size_t plaintext) {
        Result<std::vector<std::uint8_t>> read = OpenPlaintext(bytes, plaintext, SIZE_MAX);
        return read ? std::string("opens") : read.error().message;
    };
    ASSERT_EQ(opening(sealed, length), "opens");
    for (const std::size_t n : {per_batch - 1, per_batch, 2 * per_batch, 3 * per_batch}) {
        std::vector<std::uint8_t> changed = sealed;
        changed[kSealedHeaderBytes + n * message + 3] ^= 1;
        EXPECT_EQ(opening(changed, length),
                  DamagedError(Text(Msg::kSealedMessageNotAuthentic, {std::to_string(n)})).message)
            << "message " << n;
    }
    for (const std::size_t cut : {per_batch * message, per_batch * message + 1,
                                  2 * per_batch * message + kSealedMessageOverhead - 1}) {
        const std::vector<std::uint8_t> bytes(sealed.begin(),
                                              sealed.begin() + kSealedHeaderBytes + cut);
        EXPECT_EQ(opening(bytes, length), DamagedError(Text(Msg::kSealedNoFinalMessage)).message)
            << "cut after " << cut;
    }
    std::vector<std::uint8_t> followed =
        SealPlaintext(Bytes(per_batch * chunk), "secreto", kFastParameters);
    followed.insert(followed.end(), sealed.end() - message, sealed.end());
    EXPECT_EQ(opening(followed, per_batch * chunk),
              DamagedError(Text(Msg::kSealedDataAfterEnd)).message);
}

// A small container of three messages for the damage tests.
class SealedDamageTest : public ::testing::Test {
  protected:
    static SealedTree Tree() {
        const std::vector<std::uint8_t> data = Bytes(2 * 4096 + 100);
        return {{Folder(""), Folder("a"), File("a/b", data.size())},
                {std::string(data.begin(), data.end())}};
    }
    const std::vector<std::uint8_t> intact = SealTree(Tree(), "secreto", kFastParameters);
    static constexpr std::size_t kMessage = 4096 + kSealedMessageOverhead;

    std::vector<std::uint8_t> Message(std::size_t n) const {
        const auto start =
            intact.begin() + static_cast<std::ptrdiff_t>(kSealedHeaderBytes + n * kMessage);
        return {start, std::min(start + kMessage, intact.end())};
    }
    // The header, then the given messages.
    std::vector<std::uint8_t> Messages(std::initializer_list<std::size_t> order) const {
        std::vector<std::uint8_t> bytes(intact.begin(), intact.begin() + kSealedHeaderBytes);
        for (const std::size_t n : order) {
            const auto message = Message(n);
            bytes.insert(bytes.end(), message.begin(), message.end());
        }
        return bytes;
    }
};

TEST_F(SealedDamageTest, TheIntactContainerOpens) {
    ASSERT_EQ(Messages({0, 1, 2}), intact);
    Result<SealedTree> tree = OpenTree(intact, "secreto");
    ASSERT_TRUE(tree) << tree.error().message;
    EXPECT_EQ(tree.value(), Tree());
}

TEST_F(SealedDamageTest, EverySingleByteChangeIsRefusedAsItsKind) {
    // Every other value of each header byte (refused before anything is
    // derived); in the messages, one value per byte, flipping each bit
    // position in turn.
    for (std::size_t at = 0; at < intact.size(); ++at) {
        const SealedFault expected =
            at < kSealedMagic.size() ? SealedFault::kNotSealed : SealedFault::kDamaged;
        const int first = at < kSealedHeaderBytes ? 1 : 1 << (at % 8);
        const int last = at < kSealedHeaderBytes ? 255 : first;
        for (int x = first; x <= last; ++x) {
            std::vector<std::uint8_t> changed = intact;
            changed[at] ^= static_cast<std::uint8_t>(x);
            ASSERT_EQ(FaultOfOpening(changed), expected) << "byte " << at << " ^ " << x;
        }
    }
}

TEST_F(SealedDamageTest, EveryTruncationIsRefused) {
    for (std::size_t length = 0; length < intact.size(); ++length) {
        const std::vector<std::uint8_t> cut(intact.begin(), intact.begin() + length);
        const SealedFault expected =
            length < kSealedMagic.size() ? SealedFault::kNotSealed : SealedFault::kDamaged;
        ASSERT_EQ(FaultOfOpening(cut), expected) << "length " << length;
    }
}

TEST_F(SealedDamageTest, MessagesSwappedRepeatedRemovedOrFollowedAreRefused) {
    std::vector<std::uint8_t> appended_byte = intact;
    appended_byte.push_back(0);
    std::vector<std::uint8_t> appended_empty_final = intact;
    appended_empty_final.insert(appended_empty_final.end(), intact.end() - 17, intact.end());
    const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> cases = {
        {"first two swapped", Messages({1, 0, 2})},
        {"last two swapped", Messages({0, 2, 1})},
        {"first repeated", Messages({0, 0, 1, 2})},
        {"middle repeated", Messages({0, 1, 1, 2})},
        {"final repeated", Messages({0, 1, 2, 2})},
        {"middle removed", Messages({0, 2})},
        {"first removed", Messages({1, 2})},
        {"final removed", Messages({0, 1})},
        {"a byte appended", appended_byte},
        {"the final message's last 17 bytes appended", appended_empty_final},
    };
    for (const auto& [what, bytes] : cases)
        EXPECT_EQ(FaultOfOpening(bytes), SealedFault::kDamaged) << what;
}

TEST_F(SealedDamageTest, AWrongPasswordIsToldApartFromADamagedHeader) {
    Result<SealedTree> wrong = OpenTree(intact, "Secreto");
    ASSERT_FALSE(wrong);
    EXPECT_EQ(FaultOf(wrong.error()), SealedFault::kWrongPassword);
    EXPECT_EQ(wrong.error().message, Text(Msg::kWrongPassword));
    // Damage is found first, whatever the password: the key check itself
    // changed, or any field it covers.
    for (const std::size_t at :
         {kSealedKeyCheckAt, kSealedSaltAt, kSealedStreamHeaderAt, kSealedChecksumAt + 31}) {
        std::vector<std::uint8_t> changed = intact;
        changed[at] ^= 1;
        EXPECT_EQ(FaultOfOpening(changed, "secreto"), SealedFault::kDamaged) << at;
        EXPECT_EQ(FaultOfOpening(changed, "Secreto"), SealedFault::kDamaged) << at;
    }
}

// The header re-encoded with one field changed and a valid checksum: what
// the reader refuses on its face, before deriving anything. Were the key
// derived, the fault would be another: a failed allocation (kOther) or the
// key check (kWrongPassword).
TEST_F(SealedDamageTest, FieldsOutOfRangeAreRefusedBeforeAnyDerivation) {
    MemoryByteSource intact_source(intact);
    const SealedHeader header = ReadSealedHeader(intact_source).value();
    struct Case {
        const char* what;
        void (*change)(SealedHeader&);
        std::string why;
    };
    const std::vector<Case> cases = {
        {"memlimit 2^62", [](SealedHeader& h) { h.parameters.memlimit = std::uint64_t{1} << 62; },
         Text(Msg::kSealedLimitsOutOfRange, {"1", "4611686018427387904"})},
        {"memlimit 1 GiB + 1", [](SealedHeader& h) { h.parameters.memlimit = (1u << 30) + 1; },
         Text(Msg::kSealedLimitsOutOfRange, {"1", "1073741825"})},
        {"memlimit below the minimum", [](SealedHeader& h) { h.parameters.memlimit = 8191; },
         Text(Msg::kSealedLimitsOutOfRange, {"1", "8191"})},
        {"no pass", [](SealedHeader& h) { h.parameters.opslimit = 0; },
         Text(Msg::kSealedLimitsOutOfRange, {"0", "8192"})},
        {"65 passes", [](SealedHeader& h) { h.parameters.opslimit = 65; },
         Text(Msg::kSealedLimitsOutOfRange, {"65", "8192"})},
        {"4 GiB passes", [](SealedHeader& h) { h.parameters.opslimit = 0xFFFFFFFF; },
         Text(Msg::kSealedLimitsOutOfRange, {"4294967295", "8192"})},
        {"chunk 4095", [](SealedHeader& h) { h.parameters.chunk_size = 4095; },
         Text(Msg::kSealedChunkSizeOutOfRange, {"4095"})},
        {"chunk 16 MiB + 1", [](SealedHeader& h) { h.parameters.chunk_size = (16u << 20) + 1; },
         Text(Msg::kSealedChunkSizeOutOfRange, {"16777217"})},
        {"version 2", [](SealedHeader& h) { h.version = 2; },
         Text(Msg::kSealedUnknownVersion, {"2"})},
        {"version 0", [](SealedHeader& h) { h.version = 0; },
         Text(Msg::kSealedUnknownVersion, {"0"})},
        {"KDF 2", [](SealedHeader& h) { h.kdf = 2; }, Text(Msg::kSealedUnknownKdf, {"2"})},
    };
    for (const Case& c : cases) {
        SealedHeader changed = header;
        c.change(changed);
        std::vector<std::uint8_t> bytes = intact;
        const SealedHeaderBytes encoded = EncodeSealedHeader(changed);
        std::copy(encoded.begin(), encoded.end(), bytes.begin());
        MemoryByteSource source(bytes);
        Result<SealedHeader> read = ReadSealedHeader(source);
        ASSERT_FALSE(read) << c.what;
        EXPECT_EQ(read.error().message, DamagedError(c.why).message) << c.what;
        Result<SealedStreamReader> opened = SealedStreamReader::Open(source, "secreto");
        ASSERT_FALSE(opened) << c.what;
        EXPECT_EQ(FaultOf(opened.error()), SealedFault::kDamaged) << c.what;
    }
}

// A legacy container is "not sealed" (the caller tries the legacy kind), and
// the legacy reader refuses a sealed one: its magic, read as a legacy
// header, claims 1,835,820,374 records of an unknown width.
TEST(SealedFormatTest, TheTwoKindsTellEachOtherApart) {
    const std::vector<std::uint8_t> legacy =
        ReadFile(VELMORA_TEST_DATA "/short-file-and-empty-folder.zol");
    ASSERT_EQ(legacy.size(), 164u);
    MemoryByteSource legacy_source(legacy);
    Result<SealedHeader> header = ReadSealedHeader(legacy_source);
    ASSERT_FALSE(header);
    EXPECT_EQ(FaultOf(header.error()), SealedFault::kNotSealed);

    const auto sealed = SealPlaintext(Bytes(10), "secreto", kFastParameters);
    MemoryByteSource sealed_source(sealed);
    const ContainerHeader as_legacy = ReadContainerHeader(sealed_source).value();
    EXPECT_EQ(as_legacy.EntryCount, 0x6D6C6556);
    EXPECT_EQ(as_legacy.NameWidthCode, 'o');
    EXPECT_FALSE(ReadContainerIndex(sealed_source));
}

// The digest depends on the bytes, not on how they are cut into pieces; a
// byte changed, added or taken away changes it.
TEST(SealedFormatTest, PlaintextDigestSeesEveryByteWhateverThePieces) {
    const std::vector<std::uint8_t> data = Bytes(100000);
    auto digest = [](const std::vector<std::uint8_t>& bytes, std::size_t piece) {
        PlaintextHash hash;
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            hash.Update(bytes.data() + at, std::min(piece, bytes.size() - at));
        return hash.Final();
    };
    const PlaintextDigest whole = digest(data, data.size());
    EXPECT_EQ(digest(data, 777), whole);
    std::vector<std::uint8_t> changed = data;
    changed[54321] ^= 1;
    EXPECT_NE(digest(changed, 777), whole);
    changed = data;
    changed.push_back(0);
    EXPECT_NE(digest(changed, 777), whole);
    changed.resize(data.size() - 1);
    EXPECT_NE(digest(changed, 777), whole);
}

}  // namespace
}  // namespace velmora
