#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "container/byte_source.h"
#include "container/container_kind.h"
#include "container/host.h"
#include "container/sealed/sealed_format.h"
#include "container/sealed/sealed_header.h"
#include "container/sealed/sealed_keys.h"
#include "container/sealed/sealed_messages.h"
#include "container/sealed/sealed_stream_reader.h"

namespace velmora {

// The restore's index of a sealed index: the entries `keep` takes (by their
// place in `stored`; every one without it), in the program's path form;
// entry 0, the folder itself, gives the root's details.
RestoreIndex RestoreIndexOf(const std::vector<SealedEntry>& stored,
                            const std::function<bool(std::size_t)>& keep = {});

// Reads the sealed kind through the engine's seam, under keys already
// derived: the key checked against the header, the whole index read and
// checked, then each file's bytes, authenticated a message at a time, and
// last the proof that the container ends where its final message says.
// Names come out in the program's path form, in UTF-8.
class SealedReader : public ContainerReader {
  public:
    // SealedDamage::kRefuse for the check of a container just written, where
    // any damage means the disk did not keep what was written.
    SealedReader(ByteSource& source, const SealedHeader& header, const SealedKeys& keys, Host& host,
                 SealedDamage damage = SealedDamage::kRepair)
        : source_(source), header_(header), keys_(keys), host_(host), damage_(damage) {}

    Result<RestoreIndex> ReadIndex() override;
    Status ReadFileData(const DecodedEntry& entry, const WritePiece& write) override;
    Status ReadEnd() override;
    // Version 2's chunks rebuilt from parity so far.
    std::uint64_t RebuiltChunks() const { return stream_ ? stream_->RebuiltChunks() : 0; }

  private:
    ByteSource& source_;
    SealedHeader header_;
    const SealedKeys& keys_;
    Host& host_;
    SealedDamage damage_;
    std::optional<SealedStreamReader> stream_;
};

}  // namespace velmora
