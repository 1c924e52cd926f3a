#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "container/container_format.h"
#include "container/container_reader.h"

namespace velmora {
namespace {

struct Entry {
    std::string name;
    std::int32_t size;
};

// A structurally valid container: header, records and size bytes of data per
// file. Names are stored as given (the reader does not decode them).
std::vector<std::uint8_t> BuildImage(const std::vector<Entry>& entries, std::uint8_t width_code) {
    std::vector<std::uint8_t> image;
    const auto head = SerializeHeader(
        {16, static_cast<std::int32_t>(entries.size()), width_code, "checkcheckcheck"});
    image.insert(image.end(), head.begin(), head.end());
    for (const Entry& entry : entries) {
        const auto record = SerializeRecord({entry.name, 32, 16, entry.size}, width_code);
        image.insert(image.end(), record.begin(), record.end());
    }
    for (const Entry& entry : entries)
        if (entry.size > 0)
            image.insert(image.end(), static_cast<std::size_t>(entry.size), 0xAB);
    return image;
}

Result<ContainerIndex> Read(const std::vector<std::uint8_t>& image) {
    MemoryByteSource source(image);
    return ReadContainerIndex(source);
}

void PutInt32At(std::vector<std::uint8_t>& image, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        image[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

const std::vector<Entry> kThreeFiles = {{"\\a", 5}, {"\\b", 0}, {"\\c", 70000}};

TEST(ContainerReaderTest, ReadsAValidContainerOfEveryWidthWhateverFollowsIt) {
    for (std::uint8_t code = 0; code <= 2; ++code) {
        auto image = BuildImage(kThreeFiles, code);
        image.insert(image.end(), 1000, 0x55);  // an older, longer container's tail
        Result<ContainerIndex> index = Read(image);
        ASSERT_TRUE(index.ok()) << index.error().message;
        EXPECT_EQ(index->records.size(), 3u);
        EXPECT_EQ(index->data_offset, static_cast<std::int64_t>(21 + 3 * RecordSize(code)));
        EXPECT_EQ(index->data_length, 70005);
    }
}

// Start-up reads the header alone; truncations of the index are the
// decoder's test.
TEST(ContainerReaderTest, TheHeaderAloneNeedsItsTwentyOneBytes) {
    const auto image = BuildImage(kThreeFiles, 0);
    for (const std::size_t length : {20u, 21u}) {
        const std::vector<std::uint8_t> cut(image.begin(), image.begin() + length);
        MemoryByteSource source(cut);
        EXPECT_EQ(ReadContainerHeader(source).ok(), length == 21) << length;
    }
}

TEST(ContainerReaderTest, DamagedHeadersAndRecordsAreRefused) {
    const auto valid = BuildImage(kThreeFiles, 0);
    struct Damage {
        const char* what;
        std::size_t offset;
        std::uint32_t value;
        bool whole_int;
    };
    const Damage damages[] = {
        {"width code 3", 5, 3, false},
        {"width code 255", 5, 255, false},
        {"negative count", 1, 0xFFFFFFFF, true},
        {"count far too large", 1, 0x7FFFFFFF, true},
        {"count one too large", 1, 4, true},
        {"size below -1", 21 + 66, 0xFFFFFFFE, true},
        {"size past the end", 21 + 70 + 66, 0x7FFFFFFF, true},
        {"most negative size", 21 + 140 + 66, 0x80000000, true},
    };
    for (const Damage& damage : damages) {
        auto image = valid;
        if (damage.whole_int)
            PutInt32At(image, damage.offset, damage.value);
        else
            image[damage.offset] = static_cast<std::uint8_t>(damage.value);
        Result<ContainerIndex> index = Read(image);
        ASSERT_FALSE(index.ok()) << damage.what;
        EXPECT_FALSE(index.error().message.empty());
    }
}

TEST(ContainerReaderTest, HugeCountInATinyFileAllocatesNothing) {
    std::vector<std::uint8_t> image(100, 0);
    PutInt32At(image, 1, 0x7FFFFFFF);
    image[5] = 2;
    // Under AddressSanitizer a reservation for 2^31 records would abort.
    EXPECT_FALSE(Read(image).ok());
}

}  // namespace
}  // namespace velmora
