// The full check of a version 2 container: each kind of damage counted
// where it lies, and lost chunks mapped to the files they hold.
#include "container/sealed/chunk_check.h"

#include "container/sealed/chunk_layout.h"
#include "container/sealed/chunk_reader.h"
#include "container/sealed/sealed_keys.h"
#include "engine_support.h"
#include "sealed_support.h"

namespace velmora {
namespace {

constexpr std::string_view kPassword = "contraseña";

// What a check found beside a sound container's: the counts that are not
// zero, the wrong size, the chunks and files lost, an index not read.
std::string Found(const ChunkCheck& check) {
    std::string found;
    for (const auto& [count, what] : {std::pair{check.chunks_rebuilt, " rebuilt"},
                                      {check.parity_damaged, " parity"},
                                      {check.index_copies_damaged, " copies"},
                                      {check.headers_damaged, " headers"}})
        found += count ? ", " + std::to_string(count) + what : "";
    found += check.size_wrong ? ", size" : "";
    for (const std::uint64_t chunk : check.lost)
        found += ", chunk " + std::to_string(chunk) + " lost";
    for (const std::string& file : check.lost_files)
        found += ", " + file + " lost";
    found += check.index_read ? "" : ", index unread";
    return found.empty() ? "sound" : found.substr(2);
}

// Four chunks a group, two parity slots: chunk 0 holds the index and the
// start of a.bin, a.bin runs to chunk 2, b.bin from chunk 2 to chunk 4
// (group 1), c.txt in chunk 4; an empty file last.
class ChunkCheckTest : public ::testing::Test {
  protected:
    const SealedTree tree{{Folder(""), File("a.bin", 12000), File("b.bin", 8000), File("c.txt", 3),
                           File("A (incompleto).bin", 0)},
                          {std::string(12000, 'a'), std::string(8000, 'b'), "ccc", ""}};
    const std::vector<std::uint8_t> sealed =
        SealTree(tree, kPassword, SealedParameters{1, 8192, 4096, 4, 2});
    const SealedHeader header = HeaderOf(sealed);
    const ChunkLayout at{header};
    const SealedKeys keys = SealedKeys::Derive(kPassword, header).value();
};

TEST_F(ChunkCheckTest, EachDamageIsFoundWhereItLies) {
    ASSERT_EQ(at.chunks, 5u);
    const std::uint64_t slot = at.slot_size;
    const struct {
        const char* what;
        std::vector<std::pair<std::uint64_t, std::uint64_t>> flipped;  // from, length
        std::int64_t size_change;
        std::string found;
    } cases[] = {
        {"none", {}, 0, "sound"},
        {"a data chunk", {{at.ChunkAt(1) + 7, 1}}, 0, "1 rebuilt"},
        {"the last chunk's padding", {{at.ChunkAt(4) + slot - 1, 1}}, 0, "1 rebuilt"},
        {"a parity slot", {{at.ParityAt(1, 0), 1}}, 0, "1 parity"},
        {"data and parity of a group",
         {{at.ChunkAt(1), 1}, {at.ParityAt(0, 1) + 9, 1}},
         0,
         "1 rebuilt, 1 parity"},
        {"the index's chunk and its copy",
         {{at.ChunkAt(0), 1}, {at.IndexCopyAt(0), 1}},
         0,
         "1 rebuilt, 1 copies"},
        {"the first header", {{5, 1}}, 0, "1 headers"},
        {"the last byte cut", {}, -1, "1 headers, size"},
        {"a byte more", {}, 1, "size"},
        {"three slots of group 0",
         {{at.ChunkAt(1), 3 * slot}},
         0,
         "chunk 1 lost, chunk 2 lost, chunk 3 lost, a.bin lost, b.bin lost"},
        {"the index and its copy lost",
         {{at.ChunkAt(0), 3 * slot}, {at.IndexCopyAt(0), 1}},
         0,
         "chunk 0 lost, chunk 1 lost, chunk 2 lost, index unread"},
    };
    for (const auto& damage : cases) {
        SCOPED_TRACE(damage.what);
        std::vector<std::uint8_t> bytes = sealed;
        for (const auto& [from, length] : damage.flipped)
            for (std::uint64_t i = from; i < from + length; ++i)
                bytes[i] ^= 0x5A;
        bytes.resize(bytes.size() + damage.size_change, 0);
        MemoryByteSource source(bytes);
        const Result<ChunkCheck> check = CheckChunks(source, header, keys, [] {});
        ASSERT_TRUE(check);
        EXPECT_EQ(Found(check.value()), damage.found);
        EXPECT_EQ(check->sound(), damage.found == "sound");
        if (check->index_read) {
            EXPECT_EQ(check->entries, 5u);
            EXPECT_EQ(check->files, 4u);
            EXPECT_EQ(check->bytes, 20003u);
        }
    }
}

// Every chunk whole but an index that breaks its rules (a count no
// container can hold): not sound, and nothing for parity to repair.
TEST(ChunkCheckRulesTest, AnAuthenticIndexThatBreaksTheRulesIsNotSound) {
    const std::vector<std::uint8_t> sealed =
        SealPlaintext(std::vector<std::uint8_t>(100, 0xFF), kPassword, {1, 8192, 4096, 4, 2});
    const SealedHeader header = HeaderOf(sealed);
    MemoryByteSource source(sealed);
    const SealedKeys keys = SealedKeys::Derive(kPassword, header).value();
    const ChunkCheck check = CheckChunks(source, header, keys, [] {}).value();
    EXPECT_FALSE(check.sound());
    EXPECT_FALSE(check.beyond_repair());
    EXPECT_FALSE(check.index_read);
    EXPECT_FALSE(check.index_refused.empty());
}

// Salvage reads each file from its own groups: with group 0 beyond repair,
// the file in group 1 alone comes back exactly, a file the filter leaves out
// is named, and a file with a lost chunk is refused as damage when taken
// whole; taken with holes, it comes back under its marked name (past the
// names taken, whatever their case) with exactly its intact bytes and zeros
// for the lost chunks', counted.
TEST_F(ChunkCheckTest, FilesAreReadFromTheirOwnChunks) {
    std::vector<std::uint8_t> bytes = sealed;
    for (std::uint64_t i = at.ChunkAt(1); i < at.ChunkAt(1) + 3 * at.slot_size; ++i)
        bytes[i] ^= 0x5A;
    MemoryByteSource source(bytes);
    // a.bin keeps the bytes chunk 0 holds after the index.
    const std::size_t intact = 4096 - header.index_length;
    const std::string holed = std::string(intact, 'a') + std::string(12000 - intact, '\0');
    using Take = ChunkReader::Take;
    // What each file read gives, and each file taken with holes: its name
    // restored and the bytes zeroed.
    const struct {
        Take damaged;
        std::map<std::string, std::string> read;
    } cases[] = {
        {Take::kWhole, {{"\\a.bin", "damaged"}, {"\\c.txt", "ccc"}, {"\\A (incompleto).bin", ""}}},
        {Take::kWithHoles,
         {{"\\a (incompleto) (2).bin", holed},
          {"\\c.txt", "ccc"},
          {"\\A (incompleto).bin", ""},
          {"holed a.bin",
           "a (incompleto) (2).bin, " + std::to_string(12000 - intact) + " zeroed"}}},
    };
    for (const auto& c : cases) {
        SystemFileSystem files;
        CancelToken cancel;
        TestHost host(files, cancel);
        ChunkReader reader(source, header, keys, host,
                           [&](const SealedEntry& entry, std::uint64_t first, std::uint64_t last) {
                               if (entry.path == "b.bin")
                                   return Take::kLeave;
                               return first > last || first > 3 ? Take::kWhole : c.damaged;
                           });
        const RestoreIndex index = reader.ReadIndex().value();
        EXPECT_EQ(reader.left_out(), std::vector<std::string>{"b.bin"});
        std::map<std::string, std::string> read;
        for (const DecodedEntry& entry : index.entries) {
            std::string& content = read[entry.name];
            const Status status =
                reader.ReadFileData(entry, [&](const std::uint8_t* data, std::size_t length) {
                    content.append(reinterpret_cast<const char*>(data), length);
                    return Status::Ok();
                });
            if (!status)
                content = FaultOf(status.error()) == SealedFault::kDamaged ? "damaged" : "other";
        }
        for (const ChunkReader::Holed& h : reader.holed())
            read["holed " + h.path] = h.restored_path + ", " + std::to_string(h.zeroed) + " zeroed";
        EXPECT_EQ(read, c.read);
    }
}

}  // namespace
}  // namespace velmora
