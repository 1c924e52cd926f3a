#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "base/result.h"
#include "container/byte_source.h"
#include "container/sealed/chunk_group.h"
#include "container/sealed/sealed_header.h"
#include "container/sealed/sealed_keys.h"

namespace velmora {

class SealedKeys;

// The opened messages of a sealed container, in order, as the stream reader
// hands their plaintext out: version 1's secretstream messages, or version
// 2's chunks (rebuilt from parity where damaged). Nothing handed out is
// unauthenticated; a refusal refuses everything after it.
class SealedMessages {
  public:
    struct Message {
        std::span<const std::uint8_t> plaintext;  // valid until the next call
        bool final = false;
    };
    virtual ~SealedMessages() = default;
    virtual Result<Message> Next() = 0;
    // The most plaintext bytes in the messages not yet handed out.
    virtual std::uint64_t PlaintextAfterHandedOut() const = 0;
    // Chunks rebuilt from parity so far (version 2).
    virtual std::uint64_t RebuiltChunks() const { return 0; }
    // Once every message has been handed out: what the kind still checks.
    virtual Status End() { return Status::Ok(); }
};

// How a version 2 reader takes damage: rebuilds what the parity allows, or,
// for the check of a container just written, refuses any damage at all
// (parity slots and copies included).
enum class SealedDamage { kRepair, kRefuse };

// Version 1: `state` initialised for pulling; `header` the first message's
// associated data.
std::unique_ptr<SealedMessages> SecretStreamMessages(ByteSource& source, StreamState state,
                                                     const SealedHeaderBytes& header,
                                                     std::size_t chunk_size);

// What a repair needs to patch a copy of a version 2 container: each group
// whose chunks all opened (or were rebuilt), as the calling thread reaches
// it, its parity compared with its data slots, and those data slots as they
// were written (rebuilt where damaged), followed, where no chunk was
// damaged, by the group's parity slots as computed from them (ReadGroup). A
// failure it returns ends the read.
using GroupListener =
    std::function<Status(const GroupOutcome& outcome, const std::uint8_t* slots)>;

// Version 2, under keys already unlocked.
std::unique_ptr<SealedMessages> ChunkMessages(ByteSource& source, const SealedHeader& header,
                                              const SealedKeys& keys, SealedDamage damage,
                                              GroupListener listener = {});

}  // namespace velmora
