#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "container/restore_source.h"
#include "container/run.h"
#include "container/sealed/chunk_group.h"
#include "container/sealed/plaintext_hash.h"
#include "container/sealed/sealed_keys.h"
#include "container/sealed/sealed_stream_reader.h"
#include "container/sealed/sealed_stream_writer.h"

namespace velmora {

// Rewrites the sealed container the run was asked for (its request) as a sound
// version 2 container under the same name. Version 2 keeps its header,
// keys and nonces, so the bytes first written are known: the container is
// copied as it is and the slots that differ (the damaged chunks as rebuilt
// from parity, the parity of a damaged group, the copies at the end) are
// patched in. Version 1 is sealed
// anew from its plaintext, with a new salt and nonce prefix, under the same
// password. The damaged container is never touched before the last step:
//   1. the new container is written as .NAME.zol.reparando (or
//      .reparando2, ...; one no run holds, a killed repair's, is removed
//      first) beside it through the folder's handle, locked
//      ("Cancelar" deletes it), flushed, read back from the disk and
//      checked: version 2's byte for byte against the container whose
//      every chunk was authenticated or rebuilt, version 1's sound, its
//      plaintext the one read;
//   2. the damaged one is renamed .NAME.zol.antes-de-reparar (or ...2) and checked
//      to be the file that was read; the new one is renamed NAME.zol (on
//      a failure the damaged one gets its name back);
//   3. the damaged one is deleted while its name still holds it (it is
//      encrypted: nothing is overwritten) and the folder flushed.
// A killed run leaves the damaged container whole under one of its names
// (GiveBackTheDamagedName gives it back its own).
class SealedRepair {
  public:
    SealedRepair(Run& run, const SealedKeys& keys, const std::string& password)
        : run_(run), keys_(keys), password_(password), source_(run) {}
    SealedRepair(const SealedRepair&) = delete;
    SealedRepair& operator=(const SealedRepair&) = delete;

    // Every step; the error says why and that the damaged container stays.
    Status Repair();

  private:
    struct IndexRead {
        std::vector<std::uint8_t> bytes;  // encoded again
        std::size_t entries;
        std::uint64_t plaintext_length;  // that the index implies
    };

    void Write();
    void CreateRepaired();
    PlaintextDigest Reseal();
    PlaintextDigest Patch();
    Status PatchGroup(const ChunkLayout& layout, const GroupOutcome& outcome,
                      const std::uint8_t* slots);
    IndexRead ReadIndex(SealedStreamReader& in);
    void ReadRest(SealedStreamReader& in, const IndexRead& index, SealedStreamWriter* stream,
                  PlaintextHash* plaintext);
    void CheckWritten(const PlaintextDigest& expected);
    void CheckBytesWritten(const PlaintextDigest& expected);
    void TakeName();
    void RemoveRepaired();
    std::string InFolder(const std::string& name) const;

    Run& run_;
    const SealedKeys& keys_;
    const std::string& password_;
    RestoreSource source_;
    SealedHeader read_header_;
    SealedHeader header_;                 // of the new container
    std::optional<SealedKeys> new_keys_;  // version 1's conversion
    std::string name_;
    std::string repaired_name_;
    int repaired_ = -1;
    EntryInfo repaired_created_;
    // Version 2's bytes as the new container must hold them, digested in
    // the file's order as the groups are read.
    struct ExpectedBytes {
        PlaintextHash digest;
        std::vector<std::uint8_t> pending_parity;  // of the last group read
        std::vector<std::uint8_t> index_slots;
    };
    std::optional<ExpectedBytes> expected_;
    std::optional<Unfinished> unfinished_;  // while the repaired one is unfinished
};

// Before the container is opened: no NAME.zol, but .NAME.zol.antes-de-reparar
// and a .NAME.zol.reparando no run holds (a repair killed between its two
// renames): the damaged container gets its name back, never replacing
// anything, and the new one is removed, said in one line.
void GiveBackTheDamagedName(Run& run);

}  // namespace velmora
