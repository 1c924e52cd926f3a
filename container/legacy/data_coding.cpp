#include "container/legacy/data_coding.h"

#include <cstring>

namespace velmora {
namespace {

// Adds (or subtracts) the stream to the data byte by byte, modulo 256. The
// body works on 32 bytes at a time through the compiler's vector types so it
// runs at memory speed whatever the optimisation level; the rest is finished
// byte by byte.
template <bool kAdd>
void ApplyStream(std::uint8_t* data, const std::uint8_t* stream, std::size_t length) {
    std::size_t i = 0;
#if defined(__GNUC__)
    using Vec = std::uint8_t __attribute__((vector_size(32)));
    for (; i + sizeof(Vec) <= length; i += sizeof(Vec)) {
        Vec d;
        Vec s;
        std::memcpy(&d, data + i, sizeof(Vec));
        std::memcpy(&s, stream + i, sizeof(Vec));
        d = kAdd ? d + s : d - s;
        std::memcpy(data + i, &d, sizeof(Vec));
    }
#endif
    for (; i < length; ++i)
        data[i] = static_cast<std::uint8_t>(kAdd ? data[i] + stream[i] : data[i] - stream[i]);
}

template <bool kAdd>
void CodeFile(std::uint8_t* data, std::size_t size, const KeyStream& stream) {
    const CodingPlan plan = PlanFor(static_cast<std::int64_t>(size));
    for (std::int64_t b = 0; b < plan.full_blocks; ++b) {
        ApplyStream<kAdd>(data, stream.thirds(), kBlockSize);
        data += kBlockSize;
    }
    ApplyStream<kAdd>(data, stream.whole(), plan.tail);
}

}  // namespace

KeyStream::KeyStream(const CipherTables& tables, const std::string& key) {
    for (std::size_t j = 1; j <= kBlockSize; ++j) {
        const auto position = static_cast<std::size_t>(tables.KeyIndexTable(static_cast<int>(j)));
        const auto shift = static_cast<std::uint8_t>(key.at(position - 1));
        whole_[j - 1] = shift;
        thirds_[j - 1] = (j % 3 == 1) ? shift : 0;
    }
}

CodingPlan PlanFor(std::int64_t file_size) {
    if (file_size <= static_cast<std::int64_t>(kBlockSize))
        return {0, static_cast<std::size_t>(file_size)};
    return {file_size / static_cast<std::int64_t>(kBlockSize),
            static_cast<std::size_t>(file_size % static_cast<std::int64_t>(kBlockSize))};
}

void EncodeWhole(std::uint8_t* data, std::size_t length, const KeyStream& stream) {
    ApplyStream<true>(data, stream.whole(), length);
}
void DecodeWhole(std::uint8_t* data, std::size_t length, const KeyStream& stream) {
    ApplyStream<false>(data, stream.whole(), length);
}
void EncodeFullBlock(std::uint8_t* block, const KeyStream& stream) {
    ApplyStream<true>(block, stream.thirds(), kBlockSize);
}
void DecodeFullBlock(std::uint8_t* block, const KeyStream& stream) {
    ApplyStream<false>(block, stream.thirds(), kBlockSize);
}
void EncodeFileData(std::uint8_t* data, std::size_t size, const KeyStream& stream) {
    CodeFile<true>(data, size, stream);
}
void DecodeFileData(std::uint8_t* data, std::size_t size, const KeyStream& stream) {
    CodeFile<false>(data, size, stream);
}

}  // namespace velmora
