#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "container/legacy/container_format.h"
#include "container/legacy/legacy_reader.h"

namespace velmora {
namespace {

// Truncations of the index are the decoder's test; these are the damages
// a truncation cannot make.
TEST(ContainerReaderTest, DamagedHeadersAndRecordsAreRefused) {
    // Three files of 5, 0 and 70000 bytes in width code 0.
    std::vector<std::uint8_t> valid;
    const auto head = SerializeHeader({16, 3, 0, "checkcheckcheck"});
    valid.insert(valid.end(), head.begin(), head.end());
    for (const auto& [name, size] : {std::pair{"\\a", 5}, {"\\b", 0}, {"\\c", 70000}}) {
        const auto record = SerializeRecord({name, 32, 16, size}, 0);
        valid.insert(valid.end(), record.begin(), record.end());
    }
    valid.insert(valid.end(), 70005, 0xAB);
    MemoryByteSource intact(valid);
    ASSERT_TRUE(ReadContainerIndex(intact).ok());
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
        // Under AddressSanitizer a reservation for 2^31 records would abort.
        {"count far too large", 1, 0x7FFFFFFF, true},
        {"count one too large", 1, 4, true},
        {"size below -1", 21 + 66, 0xFFFFFFFE, true},
        {"size past the end", 21 + 70 + 66, 0x7FFFFFFF, true},
        {"most negative size", 21 + 140 + 66, 0x80000000, true},
    };
    for (const Damage& damage : damages) {
        auto image = valid;
        for (int i = 0; i < (damage.whole_int ? 4 : 1); ++i)
            image[damage.offset + i] = static_cast<std::uint8_t>(damage.value >> (8 * i));
        MemoryByteSource source(image);
        Result<ContainerIndex> index = ReadContainerIndex(source);
        ASSERT_FALSE(index.ok()) << damage.what;
        EXPECT_FALSE(index.error().message.empty());
    }
}

}  // namespace
}  // namespace velmora
