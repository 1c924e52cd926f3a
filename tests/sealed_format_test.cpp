#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>

#include "base/messages.h"
#include "container/sealed/sealed_header.h"
#include "container/sealed/sealed_keys.h"
#include "tests/sealed_support.h"

namespace velmora {
namespace {

// Chunks of 4 KiB in groups of 4 with 2 parity slots: a few dozen KiB make
// a container of several groups.
constexpr SealedParameters kSmallGroups{1, 8192, 4096, 4, 2};
constexpr std::uint64_t kHeader = 140;
constexpr std::uint64_t kKeyCheckAt = 76;  // version 2

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

// Where docs/sealed-format.md puts everything, from its formulas alone.
struct Geometry {
    Geometry(const SealedParameters& p, std::uint64_t index_length, std::uint64_t length)
        : S(p.chunk_size),
          C(S + 16),
          K(p.group_data),
          P(p.group_parity),
          N(std::max<std::uint64_t>(1, (length + S - 1) / S)),
          G((N + K - 1) / K),
          I(std::max<std::uint64_t>(1, (index_length + S - 1) / S)) {}
    std::uint64_t Data(std::uint64_t n) const {
        return kHeader + (n + (n / K > 0 ? n / K - 1 : 0) * P) * C;
    }
    std::uint64_t Parity(std::uint64_t g, std::uint64_t r) const {
        return kHeader + (std::min((g + 2) * K, N) + g * P + r) * C;
    }
    std::uint64_t IndexCopy(std::uint64_t n) const { return kHeader + (N + G * P + n) * C; }
    std::uint64_t HeaderCopy() const { return IndexCopy(I); }
    std::uint64_t Size() const { return HeaderCopy() + kHeader; }
    std::uint64_t S, C, K, P, N, G, I;
};

struct Opened {
    std::vector<std::uint8_t> plaintext;
    std::uint64_t rebuilt = 0;
};

// The plaintext read back in views of at most `most` bytes, then Finish.
Result<Opened> OpenPlaintext(const std::vector<std::uint8_t>& container, std::size_t length,
                             std::size_t most = SIZE_MAX, std::string_view password = "secreto") {
    MemoryByteSource source(container);
    Result<SealedStreamReader> reader = SealedStreamReader::Open(source, password);
    if (!reader)
        return reader.error();
    Opened opened;
    while (opened.plaintext.size() < length) {
        Result<std::span<const std::uint8_t>> view =
            reader->ReadView(std::min(most, length - opened.plaintext.size()));
        if (!view)
            return view.error();
        opened.plaintext.insert(opened.plaintext.end(), view->begin(), view->end());
    }
    if (Status end = reader->Finish(); !end)
        return end.error();
    opened.rebuilt = reader->RebuiltChunks();
    return opened;
}

// What opening a container (read in views of at most `most` bytes) gives:
// "exact, N rebuilt", or the fault.
std::string Outcome(const std::vector<std::uint8_t>& container,
                    const std::vector<std::uint8_t>& plaintext,
                    std::string_view password = "secreto", std::size_t most = SIZE_MAX) {
    const Result<Opened> opened = OpenPlaintext(container, plaintext.size(), most, password);
    if (opened)
        return opened->plaintext == plaintext
                   ? "exact, " + std::to_string(opened->rebuilt) + " rebuilt"
                   : "OTHER PLAINTEXT";
    for (const auto& [fault, name] : {std::pair{SealedFault::kDamaged, "damaged"},
                                      {SealedFault::kWrongPassword, "wrong password"},
                                      {SealedFault::kNotSealed, "not sealed"}})
        if (FaultOf(opened.error()) == fault)
            return name;
    return opened.error().message;
}

// Every length around a chunk and a group, given in pieces of every kind and
// read back in views of every size: the same bytes, nothing rebuilt, in a
// container of the format's size, its copies where it says.
TEST(SealedFormatTest, PlaintextRoundTripsAtChunkAndGroupBoundaries) {
    const std::size_t chunk = kSmallGroups.chunk_size;
    const std::size_t group = kSmallGroups.group_data * chunk;
    for (const std::size_t length : {std::size_t{8}, chunk - 1, chunk, chunk + 1, group, group + 1,
                                     2 * group, 3 * group + chunk + 5}) {
        const std::vector<std::uint8_t> plaintext = Bytes(length);
        // With more than a chunk, the index takes two (two slots copied).
        const std::uint64_t index = length > chunk ? chunk + 1 : 8;
        // Groups of one chunk: the index's copy spans groups.
        const SealedParameters single{1, 8192, 4096, 1, 1};
        const struct {
            std::size_t piece;
            bool in_place;
            SealedParameters parameters;
        } ways[] = {{1, false, kSmallGroups},        {1000, false, kSmallGroups},
                    {777, true, kSmallGroups},       {chunk, true, kSmallGroups},
                    {SIZE_MAX, false, kSmallGroups}, {SIZE_MAX, false, single}};
        for (const auto& [piece, in_place, parameters] : ways) {
            if (piece == 1 && length > group)
                continue;  // a hundred thousand calls prove nothing more
            SCOPED_TRACE(testing::Message()
                         << "length " << length << ", piece " << piece
                         << (in_place ? " in place" : "") << ", K " << parameters.group_data);
            const std::vector<std::uint8_t> sealed =
                SealPlaintext(plaintext, "secreto", parameters, piece, index, in_place);
            const Geometry geometry(parameters, index, length);
            ASSERT_EQ(sealed.size(), geometry.Size());
            EXPECT_TRUE(std::equal(sealed.begin(), sealed.begin() + kHeader,
                                   sealed.begin() + geometry.HeaderCopy()));
            for (std::uint64_t n = 0; n < geometry.I; ++n)
                EXPECT_TRUE(std::equal(sealed.begin() + geometry.Data(n),
                                       sealed.begin() + geometry.Data(n) + geometry.C,
                                       sealed.begin() + geometry.IndexCopy(n)));
            for (const std::size_t most : {std::size_t{1}, std::size_t{333}, SIZE_MAX})
                EXPECT_EQ(Outcome(sealed, plaintext, "secreto", most), "exact, 0 rebuilt") << most;
        }
    }
}

// Chunks of the largest size, a group larger than the output's buffer.
TEST(SealedFormatTest, ChunksOfTheLargestSizeRoundTrip) {
    const SealedParameters large{1, 8192, 1u << 20, 4, 2};
    const std::vector<std::uint8_t> plaintext = Bytes((5u << 20) + 3);
    const auto sealed = SealPlaintext(plaintext, "secreto", large, 300000);
    EXPECT_EQ(sealed.size(), Geometry(large, 8, plaintext.size()).Size());
    EXPECT_EQ(Outcome(sealed, plaintext), "exact, 0 rebuilt");
}

// The writer takes exactly the header's length: a byte more is refused,
// and so is a Finish before the last byte; committing nothing once the room
// is gone changes nothing.
TEST(SealedFormatTest, TheWriterTakesExactlyTheHeadersLength) {
    for (const std::size_t length :
         {std::size_t{8}, std::size_t{4096}, std::size_t{4 * 4096}, std::size_t{4 * 4096 + 1}}) {
        SCOPED_TRACE(length);
        const std::vector<std::uint8_t> plaintext = Bytes(length + 1);
        for (const std::size_t given : {length - 1, length + 1}) {
            MemoryWrites files;
            BufferedWriter out(files, 0, 0);
            SealedStreamWriter writer =
                SealedStreamWriter::Begin(out, "secreto", kSmallGroups, 8, length).value();
            const Status written = writer.Write(plaintext.data(), given);
            if (given > length) {
                ASSERT_FALSE(written);
                EXPECT_EQ(written.error().message, Text(Msg::kSealedContentLeftOver));
                EXPECT_TRUE(writer.Space().empty());
                EXPECT_TRUE(writer.Commit(0));
                EXPECT_FALSE(writer.Commit(1));
            } else {
                ASSERT_TRUE(written);
                const Status finished = writer.Finish();
                ASSERT_FALSE(finished);
                EXPECT_EQ(finished.error().message, Text(Msg::kSealedEndsEarly));
            }
        }
    }
}

// A failing write shows at the Write, the Finish or the Flush, wherever in
// the container it falls: in the first group, in a later one, in the copies.
TEST(SealedFormatTest, AFailedWriteReachesTheCaller) {
    const std::vector<std::uint8_t> plaintext = Bytes(3u << 20);
    const std::size_t size = Geometry(kFastParameters, 8, plaintext.size()).Size();
    for (const std::size_t fail_from :
         {std::size_t{kHeader + 1}, std::size_t{2u << 20}, size - 1}) {
        MemoryWrites files;
        files.fail_from = fail_from;
        BufferedWriter out(files, 0, 0);
        SealedStreamWriter writer =
            SealedStreamWriter::Begin(out, "secreto", kFastParameters, 8, plaintext.size()).value();
        Status written = writer.Write(plaintext.data(), plaintext.size());
        if (written)
            written = writer.Finish();
        if (written)
            written = out.Flush();
        ASSERT_FALSE(written) << fail_from;
        EXPECT_EQ(written.error().code, 28) << fail_from;
    }
}

// At each bound of each field, the reader and the writer agree: what one
// refuses the other refuses too, and a refused header is refused on its
// face, before any key is derived.
TEST(SealedFormatTest, WriterAndReaderAgreeOnEveryBound) {
    struct Bound {
        const char* what;
        SealedParameters parameters;
        std::uint64_t index_length;
        std::uint64_t length;
        bool accepted;
    };
    const std::uint64_t most = std::uint64_t{1} << 56;
    const std::vector<Bound> bounds = {
        {"the least of all", {1, 8192, 4096, 1, 1}, 8, 8, true},
        {"the most of all", {64, 1u << 30, 1u << 20, 30, 1}, most, most, true},
        {"no pass", {0, 8192, 4096, 4, 2}, 8, 8, false},
        {"65 passes", {65, 8192, 4096, 4, 2}, 8, 8, false},
        {"memlimit 8191", {1, 8191, 4096, 4, 2}, 8, 8, false},
        {"memlimit 1 GiB + 1", {1, (1u << 30) + 1, 4096, 4, 2}, 8, 8, false},
        {"chunk 4095", {1, 8192, 4095, 4, 2}, 8, 8, false},
        {"chunk 1 MiB + 1", {1, 8192, (1u << 20) + 1, 4, 2}, 8, 8, false},
        {"no data in a group", {1, 8192, 4096, 0, 2}, 8, 8, false},
        {"128 data and 16 parity", {1, 8192, 4096, 128, 16}, 8, 8, true},
        {"129 data", {1, 8192, 4096, 129, 2}, 8, 8, false},
        {"no parity", {1, 8192, 4096, 4, 0}, 8, 8, false},
        {"17 parity", {1, 8192, 4096, 4, 17}, 8, 8, false},
        {"127 slots of 256 KiB", {1, 8192, 256u << 10, 112, 15}, 8, 8, true},
        {"128 slots of 256 KiB", {1, 8192, 256u << 10, 112, 16}, 8, 8, false},
        {"32 slots of 1 MiB", {1, 8192, 1u << 20, 31, 1}, 8, 8, false},
        {"an index of 7 bytes", {1, 8192, 4096, 4, 2}, 7, 100, false},
        {"all plaintext index", {1, 8192, 4096, 4, 2}, 100, 100, true},
        {"an index past the plaintext", {1, 8192, 4096, 4, 2}, 101, 100, false},
        {"2^56 + 1 bytes", {1, 8192, 4096, 4, 2}, 8, most + 1, false},
    };
    SealedHeader fast;
    fast.parameters = kFastParameters;
    const SealedKeys keys = SealedKeys::Derive("secreto", fast).value();
    for (const Bound& bound : bounds) {
        SCOPED_TRACE(bound.what);
        SealedHeader header;
        header.parameters = bound.parameters;
        header.index_length = bound.index_length;
        header.plaintext_length = bound.length;
        const SealedHeaderBytes bytes = EncodeSealedHeader(header);
        const Result<SealedHeader> read = DecodeSealedHeader(bytes.data(), bytes.size());
        EXPECT_EQ(read.ok(), bound.accepted);
        if (!read) {
            EXPECT_EQ(FaultOf(read.error()), SealedFault::kDamaged);
        }
        MemoryWrites files;
        BufferedWriter out(files, 0, 0);
        EXPECT_EQ(SealedStreamWriter::Begin(out, keys, header).ok(), bound.accepted);
        if (bound.accepted)
            continue;  // the password's way would derive for seconds
        EXPECT_FALSE(SealedStreamWriter::Begin(out, "secreto", bound.parameters, bound.index_length,
                                               bound.length));
        EXPECT_TRUE(out.Flush());
        EXPECT_TRUE(files.bytes.empty());
    }
}

// The reader's exactness: no byte of plaintext more or less than asked.
TEST(SealedFormatTest, ReadingPastTheEndOrStoppingShortIsDamage) {
    const auto sealed = SealPlaintext(Bytes(5000), "secreto", kSmallGroups);
    for (const auto& [asked, why] : {std::pair{5001, Msg::kSealedEndsEarly},
                                     {4999, Msg::kSealedContentLeftOver},
                                     {4096, Msg::kSealedContentLeftOver},
                                     {0, Msg::kSealedContentLeftOver}}) {
        Result<Opened> read = OpenPlaintext(sealed, asked);
        ASSERT_FALSE(read) << asked;
        EXPECT_EQ(read.error().message, DamagedError(Text(why)).message);
    }
}

// The golden containers' tree: names outside Windows-1252, mixed case,
// dates, permissions; version 2's adds a file that spans five chunks, so
// that its container has two groups, the second short.
SealedTree GoldenTree(std::uint8_t version) {
    SealedTree tree;
    tree.entries = {
        {"", true, 0, 1700000000, 0, 0x10, 0755},
        {"Łódź", true, 0, 1700000060, 500, 0x10, 0700},
        {"Łódź/日本.txt", false, 12, 1700000123, 456789012, 0x20, 0644},
        {"Notas.TXT", false, 4500, -86400, 999999999, 0x21, 0600},
    };
    const std::vector<std::uint8_t> notes = Bytes(4500, 3);
    tree.contents = {"Hola, mundo\n", std::string(notes.begin(), notes.end())};
    if (version == kSealedVersion2) {
        tree.entries.push_back({"Łódź/datos.bin", false, 17000, 1700000200, 0, 0x20, 0644});
        const std::vector<std::uint8_t> data = Bytes(17000, 5);
        tree.contents.emplace_back(data.begin(), data.end());
    }
    return tree;
}

// Version 1's golden container still opens, and still refuses damage.
TEST(SealedFormatTest, TheVersion1GoldenContainerReadsBack) {
    const std::vector<std::uint8_t> golden = ReadFile(VELMORA_TEST_DATA "/sealed-golden.zol");
    ASSERT_EQ(golden.size(), 4822u);
    Result<SealedTree> read = OpenTree(golden, "contraseña");
    ASSERT_TRUE(read) << read.error().message;
    EXPECT_EQ(read.value(), GoldenTree(kSealedVersion1));
    std::vector<std::uint8_t> flipped = golden, cut = golden, longer = golden;
    flipped[4000] ^= 1;
    cut.pop_back();
    longer.push_back(0);
    for (const auto& damaged : {flipped, cut, longer}) {
        Result<SealedTree> refused = OpenTree(damaged, "contraseña");
        ASSERT_FALSE(refused);
        EXPECT_EQ(FaultOf(refused.error()), SealedFault::kDamaged);
    }
}

// Version 2's golden container (tests/data/sealed-golden-v2.md), made again
// byte for byte from a known salt and nonce prefix, and read back.
TEST(SealedFormatTest, TheVersion2GoldenContainerIsRebuiltByteForByteAndReadBack) {
    const SealedTree tree = GoldenTree(kSealedVersion2);
    SealedHeader header = NewSealedHeader(kSmallGroups).value();
    for (std::uint8_t i = 0; i < 16; ++i) {
        header.salt[i] = i;
        header.nonce_prefix[i] = 0x10 + i;
    }
    const std::vector<std::uint8_t> made = SealTree(tree, "contraseña", header);
    const std::vector<std::uint8_t> golden = ReadFile(VELMORA_TEST_DATA "/sealed-golden-v2.zol");
    if (made != golden) {
        const std::string actual = ::testing::TempDir() + "sealed-golden-v2.actual.zol";
        std::ofstream(actual, std::ios::binary)
            .write(reinterpret_cast<const char*>(made.data()),
                   static_cast<std::streamsize>(made.size()));
        FAIL() << "the container made differs from the golden one; it is in " << actual;
    }
    Result<SealedTree> read = OpenTree(golden, "contraseña");
    ASSERT_TRUE(read) << read.error().message;
    EXPECT_EQ(read.value(), tree);
}

// Matrix: a container damaged in every way a disk, a stick or a copy damages
// a file. Each case reads back exactly, with the chunks rebuilt that the
// format promises, or is refused: never other plaintext.
struct Specimen {
    Specimen(const SealedParameters& parameters, std::uint64_t index, std::size_t length)
        : plaintext(Bytes(length)),
          geometry(parameters, index, length),
          intact(SealPlaintext(plaintext, "secreto", parameters, SIZE_MAX, index)) {}

    // What docs/sealed-format.md promises for `damaged`: a header (the
    // first, or the copy ending the file), and in each group no more slots
    // to rebuild (data slots changed or cut, less the index's with a sound
    // copy) than parity slots as written (what lies past the end read as
    // zeros).
    std::string Promised(const std::vector<std::uint8_t>& damaged) const {
        auto sound = [&](std::uint64_t at, std::uint64_t length, bool whole) {
            if (whole && at + length > damaged.size())
                return false;
            for (std::uint64_t i = at; i < at + length; ++i)
                if ((i < damaged.size() ? damaged[i] : 0) != intact[i])
                    return false;
            return true;
        };
        const bool copy = damaged.size() >= kHeader &&
                          std::equal(damaged.end() - kHeader, damaged.end(), intact.begin());
        if (!sound(0, kHeader, true) && !copy)
            return damaged.size() >= 8 && sound(0, 8, true) ? "damaged" : "not sealed";
        std::uint64_t rebuilt = 0;
        for (std::uint64_t g = 0; g < geometry.G; ++g) {
            std::uint64_t bad = 0, parity = 0;
            for (std::uint64_t n = g * geometry.K; n < std::min((g + 1) * geometry.K, geometry.N);
                 ++n) {
                if (sound(geometry.Data(n), geometry.C, true))
                    continue;
                ++rebuilt;
                bad += !(n < geometry.I && sound(geometry.IndexCopy(n), geometry.C, true));
            }
            for (std::uint64_t r = 0; r < geometry.P; ++r)
                parity += sound(geometry.Parity(g, r), geometry.C, false);
            if (bad > parity)
                return "damaged";
        }
        return "exact, " + std::to_string(rebuilt) + " rebuilt";
    }

    // Opens `damaged` as the reader does and as the format promises.
    void Check(const std::vector<std::uint8_t>& damaged, const std::string& what,
               bool repair_promised) const {
        const std::string promised = Promised(damaged);
        EXPECT_EQ(Outcome(damaged, plaintext), promised) << what;
        if (repair_promised) {
            EXPECT_EQ(promised.rfind("exact", 0), 0u) << what << ": " << promised;
        }
    }

    std::vector<std::uint8_t> plaintext;
    Geometry geometry;
    std::vector<std::uint8_t> intact;
};

using Damage = std::function<void(std::vector<std::uint8_t>&)>;

Damage Flip(std::uint64_t at) {
    return
        [at](std::vector<std::uint8_t>& b) { b[at] ^= static_cast<std::uint8_t>(1 << (at % 8)); };
}
Damage Zero(std::uint64_t at, std::uint64_t length) {
    return [=](std::vector<std::uint8_t>& b) {
        std::fill(b.begin() + at, b.begin() + std::min<std::uint64_t>(at + length, b.size()), 0);
    };
}
Damage Cut(std::uint64_t length) {
    return [length](std::vector<std::uint8_t>& b) { b.resize(length); };
}
Damage Both(Damage first, Damage second) {
    return [=](std::vector<std::uint8_t>& b) { first(b), second(b); };
}

// 13 chunks (groups of 4, 4, 4 and 1), the index in the first two.
class SealedDamageTest : public ::testing::Test {
  protected:
    const Specimen specimen{kSmallGroups, 4097, 12 * 4096 + 100};
    const Geometry& geometry = specimen.geometry;
    const std::uint64_t C = geometry.C;

    // Slot `to` overwritten by slot `from`, or the two swapped.
    Damage Copy(std::uint64_t from, std::uint64_t to, bool swap = false) const {
        return [=, this](std::vector<std::uint8_t>& b) {
            const std::vector<std::uint8_t> was(b.begin() + to, b.begin() + to + C);
            std::copy_n(b.begin() + from, C, b.begin() + to);
            if (swap)
                std::copy(was.begin(), was.end(), b.begin() + from);
        };
    }
};

TEST_F(SealedDamageTest, NamedDamageIsRepairedOrRefusedAsPromised) {
    const Specimen other{kSmallGroups, 4097, 12 * 4096 + 100};
    auto data = [&](std::uint64_t n) { return geometry.Data(n); };
    auto parity = [&](std::uint64_t g, std::uint64_t r) { return geometry.Parity(g, r); };
    const std::uint64_t copy = geometry.HeaderCopy();
    const std::uint64_t end = geometry.Size();
    // With `wrong` given, a wrong password is told apart from damage (as
    // `wrong` says), whichever header is read.
    const struct {
        const char* what;
        Damage damage;
        const char* expected;
        const char* wrong = nullptr;
    } cases[] = {
        {"none", [](auto&) {}, "exact, 0 rebuilt", "wrong password"},
        {"the first key check", Flip(kKeyCheckAt), "exact, 0 rebuilt", "wrong password"},
        {"the copy's key check", Flip(copy + kKeyCheckAt), "exact, 0 rebuilt", "wrong password"},
        {"the salt, the copy's key check", Both(Flip(kSealedSaltAt), Flip(copy + kKeyCheckAt)),
         "damaged", "damaged"},
        {"both checksums", Both(Flip(kHeader - 1), Flip(copy + kHeader - 1)), "damaged", "damaged"},
        {"chunks 5 and 6 swapped", Copy(data(5), data(6), true), "exact, 2 rebuilt"},
        {"chunk 5 repeated over chunk 6", Copy(data(5), data(6)), "exact, 1 rebuilt"},
        {"chunk 5 from another container",
         [&](auto& b) { std::copy_n(other.intact.begin() + data(5), C, b.begin() + data(5)); },
         "exact, 1 rebuilt"},
        {"a parity slot over chunk 9", Copy(parity(1, 1), data(9)), "exact, 1 rebuilt"},
        {"two chunks of group 1, one of each other group",
         Both(Both(Zero(data(4), 10), Zero(data(7), 10)),
              Both(Both(Flip(data(2)), Flip(data(9))), Flip(data(12)))),
         "exact, 5 rebuilt"},
        {"every parity slot",
         [&](auto& b) {
             for (std::uint64_t g = 0; g < geometry.G; ++g)
                 Zero(parity(g, 0), 2 * C)(b);
         },
         "exact, 0 rebuilt"},
        {"chunk 0 and its copy", Both(Flip(data(0)), Flip(geometry.IndexCopy(0))),
         "exact, 1 rebuilt"},
        {"the index's chunks, their copies, a parity slot",
         Both(Both(Zero(data(0), 2 * C), Zero(geometry.IndexCopy(0), 2 * C)), Flip(parity(0, 1))),
         "damaged"},
        {"three chunks of group 1", Zero(data(4), 3 * C), "damaged"},
        {"two chunks and a parity slot of group 2", Both(Zero(data(8), 2 * C), Flip(parity(2, 0))),
         "damaged"},
        {"a chunk and both parity slots of group 3",
         Both(Flip(data(12)), Zero(parity(3, 0), 2 * C)), "damaged"},
        {"chunk 4 over chunk 8", Copy(data(4), data(8)), "exact, 1 rebuilt"},
        {"both headers", Both(Flip(kKeyCheckAt), Flip(copy + kKeyCheckAt)), "damaged"},
        {"both magics", Both(Flip(1), Flip(copy + 1)), "not sealed"},
        {"the first header, the end cut by a byte", Both(Flip(50), Cut(end - 1)), "damaged"},
        {"the first header, a byte appended", Both(Flip(50), [](auto& b) { b.push_back(0); }),
         "damaged"},
        {"a byte appended", [](auto& b) { b.push_back(0); }, "exact, 0 rebuilt"},
        {"the header appended again",
         [](auto& b) { b.insert(b.end(), b.begin(), b.begin() + 140); }, "exact, 0 rebuilt"},
        {"a slot inserted after chunk 2",
         [&](auto& b) { b.insert(b.begin() + data(3), b.begin() + data(2), b.begin() + data(3)); },
         "damaged"},
        {"chunk 2 taken out", [&](auto& b) { b.erase(b.begin() + data(2), b.begin() + data(3)); },
         "damaged"},
    };
    for (const auto& c : cases) {
        std::vector<std::uint8_t> damaged = specimen.intact;
        c.damage(damaged);
        EXPECT_EQ(Outcome(damaged, specimen.plaintext), c.expected) << c.what;
        EXPECT_EQ(specimen.Promised(damaged), c.expected) << c.what;
        if (c.wrong) {
            EXPECT_EQ(Outcome(damaged, specimen.plaintext, "Secreto"), c.wrong) << c.what;
        }
    }
}

// Damage swept over the whole container: a byte flipped (every byte of the
// first header and of each slot's edges, every 97th elsewhere), a 4 KiB sector
// zeroed at every 512-byte boundary, truncation around every slot's edges.
// Flipped bytes and lost sectors are always repaired.
TEST_F(SealedDamageTest, DamageAnywhereIsRepairedOrRefusedAsPromised) {
    const std::uint64_t size = specimen.intact.size();
    std::vector<std::uint64_t> edges;
    for (std::uint64_t at = kHeader; at < geometry.HeaderCopy(); at += C)
        edges.insert(edges.end(), {at - 1, at, at + 1, at + 16, at + C - 1});
    for (std::uint64_t at = 0; at < size; ++at) {
        if (at < kHeader || at % 97 == 0 ||
            std::find(edges.begin(), edges.end(), at) != edges.end()) {
            std::vector<std::uint8_t> damaged = specimen.intact;
            Flip(at)(damaged);
            specimen.Check(damaged, "byte " + std::to_string(at), true);
        }
    }
    for (std::uint64_t at = 0; at < size; at += 512) {
        std::vector<std::uint8_t> damaged = specimen.intact;
        Zero(at, 4096)(damaged);
        specimen.Check(damaged, "sector at " + std::to_string(at), true);
    }
    edges.insert(edges.end(), {0, 7, 8, 139, 141, size - kHeader, size - 1});
    for (const std::uint64_t length : edges)
        specimen.Check({specimen.intact.begin(), specimen.intact.begin() + length},
                       "cut at " + std::to_string(length), false);
}

// The format's claim for any 64 KiB run: it touches at most two slots of
// 64 KiB chunks, which parity of 2 rebuilds (groups of 4 here for speed).
TEST(SealedDamageRunTest, AZeroed64KiBRunAnywhereIsRepaired) {
    const Specimen specimen{{1, 8192, 65536, 4, 2}, 65537, 9 * 65536 + 100};
    for (std::uint64_t at = 0; at < specimen.intact.size(); at += 8192 + 7) {
        std::vector<std::uint8_t> damaged = specimen.intact;
        Zero(at, 65536)(damaged);
        specimen.Check(damaged, "run at " + std::to_string(at), true);
    }
}

}  // namespace
}  // namespace velmora
