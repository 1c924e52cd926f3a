#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"
#include "container/buffered_io.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sealed_header.h"
#include "container/sealed/sealed_index.h"
#include "container/sealed/sealed_keys.h"
#include "container/sealed/sealed_stream_reader.h"
#include "container/sealed/sealed_stream_writer.h"
#include "tests/engine_support.h"

namespace velmora {

// The header of a sealed container held in memory.
inline SealedHeader HeaderOf(const std::vector<std::uint8_t>& container) {
    MemoryByteSource source(container);
    return ReadSealedHeader(source).value();
}

// A container of a plaintext (at least 8 bytes, its first `index_length`
// counted as the index) given by Write in pieces of `piece` bytes or,
// `in_place`, filled into the writer's room a piece at a time, an empty
// commit after each (the last one once the room is gone).
inline std::vector<std::uint8_t> SealPlaintext(const std::vector<std::uint8_t>& plaintext,
                                               std::string_view password,
                                               const SealedParameters& parameters,
                                               std::size_t piece = SIZE_MAX,
                                               std::uint64_t index_length = 8,
                                               bool in_place = false) {
    MemoryWrites files;
    BufferedWriter out(files, 0, 0);
    SealedStreamWriter writer =
        SealedStreamWriter::Begin(out, password, parameters, index_length, plaintext.size())
            .value();
    for (std::size_t at = 0, now = 0; at < plaintext.size(); at += now) {
        now = std::min(piece, plaintext.size() - at);
        if (!in_place) {
            EXPECT_TRUE(writer.Write(plaintext.data() + at, now));
            continue;
        }
        const std::span<std::uint8_t> room = writer.Space();
        if (room.empty()) {
            ADD_FAILURE() << "no room at " << at;
            break;
        }
        now = std::min(now, room.size());
        std::copy_n(plaintext.begin() + at, now, room.begin());
        EXPECT_TRUE(writer.Commit(now));
        EXPECT_TRUE(writer.Commit(0));
    }
    EXPECT_TRUE(!in_place || writer.Space().empty());
    EXPECT_TRUE(writer.Finish());
    EXPECT_TRUE(out.Flush());
    return files.bytes;
}

// A whole container: its index, then each file's content in index order.
struct SealedTree {
    std::vector<SealedEntry> entries;
    std::vector<std::string> contents;  // one per file entry
    bool operator==(const SealedTree&) const = default;
};

// `header` gives the parameters, the salt and the nonce prefix (a golden
// container's own); its lengths are the tree's.
inline std::vector<std::uint8_t> SealTree(const SealedTree& tree, std::string_view password,
                                          SealedHeader header) {
    MemoryWrites files;
    BufferedWriter out(files, 0, 0);
    const std::vector<std::uint8_t> index = EncodeSealedIndex(tree.entries).value();
    header.index_length = index.size();
    header.plaintext_length = SealedPlaintextLength(tree.entries, index.size());
    SealedStreamWriter writer =
        SealedStreamWriter::Begin(out, SealedKeys::Derive(password, header).value(), header)
            .value();
    EXPECT_TRUE(writer.Write(index.data(), index.size()));
    for (const std::string& content : tree.contents)
        EXPECT_TRUE(
            writer.Write(reinterpret_cast<const std::uint8_t*>(content.data()), content.size()));
    EXPECT_TRUE(writer.Finish());
    EXPECT_TRUE(out.Flush());
    return files.bytes;
}
inline std::vector<std::uint8_t> SealTree(const SealedTree& tree, std::string_view password,
                                          const SealedParameters& parameters) {
    return SealTree(tree, password, NewSealedHeader(parameters).value());
}

// Everything a container holds, authenticated to its final message.
inline Result<SealedTree> OpenTree(const std::vector<std::uint8_t>& bytes,
                                   std::string_view password) {
    MemoryByteSource source(bytes);
    Result<SealedStreamReader> stream = SealedStreamReader::Open(source, password);
    if (!stream)
        return stream.error();
    Result<std::vector<SealedEntry>> entries = ReadSealedIndex(stream.value());
    if (!entries)
        return entries.error();
    SealedTree tree{entries.value(), {}};
    for (const SealedEntry& entry : tree.entries) {
        if (entry.folder)
            continue;
        std::string content(entry.size, '\0');
        if (Status read =
                stream->Read(reinterpret_cast<std::uint8_t*>(content.data()), content.size());
            !read)
            return read.error();
        tree.contents.push_back(std::move(content));
    }
    if (Status end = stream->Finish(); !end)
        return end.error();
    return tree;
}

inline SealedEntry Folder(std::string path) {
    return {.path = std::move(path), .folder = true, .mode = 0755};
}
inline SealedEntry File(std::string path, std::uint64_t size) {
    return {.path = std::move(path), .size = size, .mode = 0644};
}

}  // namespace velmora
