#pragma once

#include "container/container_kind.h"
#include "container/host.h"
#include "container/sealed/plaintext_hash.h"
#include "container/sealed/sealed_keys.h"
#include "platform/tree_ops.h"

namespace velmora {

// Reads a written container back through its kind's reader, every file's
// bytes in turn and on to its proven end, and compares them with the digest
// of the bytes the pack read from the originals, and its index, where
// `expected_index` is given, with that one, field by field. The error says
// what went wrong; the caller words it for the user. `index` gets the
// entries read back, for the restorability check.
Status CheckAgainst(ContainerReader& reader, const PlaintextDigest& expected,
                    const std::optional<RestoreIndex>& expected_index,
                    std::vector<DecodedEntry>& index);

// A sealed container just written (`written`, open for writing and
// flushed) read back from the disk, not from the system's cache, by a reader
// that refuses any damage (parity and copies included), and checked as
// CheckAgainst checks.
Status CheckSealedOnDisk(TreeOps& files, int written, const SealedKeys& keys, Host& host,
                         const PlaintextDigest& expected,
                         const std::optional<RestoreIndex>& expected_index,
                         std::vector<DecodedEntry>& index);

// A file just written (`written`, open for writing) flushed and read back
// whole from the disk, not from the system's cache: its size and the
// digest of its bytes (a PlaintextHash of them, in order) against the ones
// expected.
Status CheckBytesOnDisk(TreeOps& files, int written, std::int64_t size,
                        const PlaintextDigest& expected);

}  // namespace velmora
