#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/messages.h"
#include "base/result.h"
#include "container/sealed/sealed_format.h"
#include "container/sealed/sealed_stream_reader.h"
#include "container/sealed/sealed_stream_writer.h"

namespace velmora {

// The rules every index entry follows, checked in index order by the writer
// (nothing it writes is refused on reading) and by the reader. What a
// destination system cannot hold (reserved names on Windows ...) is the
// restore's own check, not part of the format.
class SealedTreeCheck {
  public:
    // Why the entry cannot come next, or nothing; an entry admitted is
    // remembered (as a parent for later entries, against duplicates).
    std::optional<Msg> Admit(const SealedEntry& entry);

  private:
    // Every path admitted, and whether it is a folder.
    std::unordered_map<std::string, bool> admitted_;
};

// The index, the start of the plaintext: a u64 entry count, then each entry
// (sealed_entry.h). Refuses an entry SealedTreeCheck refuses, naming it.
Result<std::vector<std::uint8_t>> EncodeSealedIndex(const std::vector<SealedEntry>& entries);

// The plaintext's length: the index's, then every file's size.
std::uint64_t SealedPlaintextLength(const std::vector<SealedEntry>& entries,
                                    std::uint64_t index_length);

// Reads the index one entry at a time, checking each against those before
// it. Neither the count nor a size is trusted: the count must fit in what
// the rest of the container can hold, and with every size so far, it must
// still fit after each entry.
class SealedIndexReader {
  public:
    static Result<SealedIndexReader> Begin(SealedStreamReader& stream);

    std::uint64_t count() const { return count_; }
    bool done() const { return next_ == count_; }
    // The next entry; only while !done().
    Result<SealedEntry> Next();

  private:
    SealedIndexReader(SealedStreamReader& stream, std::uint64_t count)
        : stream_(&stream), count_(count) {}

    SealedStreamReader* stream_;
    std::uint64_t count_;
    std::uint64_t next_ = 0;
    std::uint64_t file_bytes_ = 0;  // the sizes of the files read so far
    SealedTreeCheck check_;
};

// Every entry; the stream is then at the first file's data.
Result<std::vector<SealedEntry>> ReadSealedIndex(SealedStreamReader& stream);

}  // namespace velmora
