#include "container/sealed_repair.h"

#include <algorithm>
#include <vector>

#include "base/messages.h"
#include "container/buffered_io.h"
#include "container/byte_source.h"
#include "container/conversion_leftovers.h"
#include "container/engine_failure.h"
#include "container/own_file.h"
#include "container/pack.h"
#include "container/path_helpers.h"
#include "container/pumped_work.h"
#include "container/sealed/chunk_check.h"
#include "container/sealed/chunk_layout.h"
#include "container/sealed/parity_code.h"
#include "container/sealed/sealed_failure.h"
#include "container/sealed/sealed_index.h"
#include "container/sealed/sealed_reader.h"
#include "container/sealed/sealed_stream_reader.h"
#include "container/sealed/sealed_stream_writer.h"
#include "container/written_check.h"

namespace velmora {
namespace {

constexpr std::size_t kPiece = 1 << 20;

}  // namespace

std::string SealedRepair::InFolder(const std::string& name) const {
    const std::string parent = ParentOf(run_.state.FolderPath);
    return parent.empty() ? name : parent + "\\" + name;
}

Status SealedRepair::Repair() {
    TreeOps& files = run_.files;
    try {
        const OpenedHeader opened = source_.Open();
        if (opened.kind != ContainerKind::kSealed)
            ThrowFailure(Error{
                Text(Msg::kRepairNotSealed, {files.paths().DisplayPath(run_.state.FolderPath)})});
        read_header_ = opened.sealed;
        source_.OpenFolder();
        name_ = Nombre(run_.state.FolderPath);
        Write();
        TakeName();
    } catch (const EngineFailure& failure) {
        RemoveRepaired();
        files.CloseAll();
        return Error{Text(Msg::kRepairFailedKept, {failure.message}), failure.code};
    }
    files.CloseAll();
    return Status::Ok();
}

void SealedRepair::Write() {
    run_.host.BeginStep(Text(Msg::kRepairingCaption));
    CreateRepaired();
    if (read_header_.version == kSealedVersion2) {
        const PlaintextDigest bytes = Patch();
        OrFail(run_.files.Flush(repaired_));
        CheckBytesWritten(bytes);
        return;
    }
    const PlaintextDigest read = Reseal();
    OrFail(run_.files.Flush(repaired_));
    CheckWritten(read);
}

// The new container, created beside the damaged one and locked.
void SealedRepair::CreateRepaired() {
    TreeOps& files = run_.files;
    // What a killed repair left, unlocked, goes, said once.
    const NumberedFile created = OrFail(CreateNumberedFile(
        files, source_.folder(), {"." + name_ + ".reparando"}, [&](const std::string& taken) {
            return RemoveIfAbandoned(run_, source_.folder(), taken, Msg::kRemovedAbandonedRepair,
                                     InFolder(taken));
        }));
    repaired_ = created.handle;
    repaired_name_ = created.name;
    repaired_created_ = OrFail(files.InspectOpen(repaired_));
    unfinished_.emplace(run_, [this] { RemoveRepaired(); });
    if (!OrFail(files.TryLock(repaired_)))
        ThrowFailure(Error{
            Text(Msg::kAlreadyWorkingOn, {files.paths().DisplayPath(InFolder(repaired_name_))})});
}

// Version 1: sealed anew, as version 2, from the plaintext read.
PlaintextDigest SealedRepair::Reseal() {
    SealedStreamReader in =
        OrFail(SealedStreamReader::Open(source_.container().source(), read_header_, keys_));
    const IndexRead index = ReadIndex(in);
    header_ = OrFail(NewSealedHeader(run_.options.sealed_parameters));
    header_.index_length = index.bytes.size();
    header_.plaintext_length = index.plaintext_length;
    Result<SealedKeys> derived = Error{""};
    RunWhilePumping(run_.host, [&] { derived = SealedKeys::Derive(password_, header_); });
    new_keys_.emplace(OrFail(std::move(derived)));
    BufferedWriter out(run_.files, repaired_, 0);
    SealedStreamWriter stream = OrFail(SealedStreamWriter::Begin(out, *new_keys_, header_));
    OrFail(stream.Write(index.bytes.data(), index.bytes.size()));
    PlaintextHash plaintext;
    ReadRest(in, index, &stream, &plaintext);
    OrFail(stream.Finish());
    OrFail(out.Flush());
    return plaintext.Final();
}

// Version 2 keeps its header, keys and nonces: the chunks that open are the
// very bytes a new sealing would write. So the container is copied as it
// is (blocks shared or copied inside the system where the file system can;
// the damaged one only read) and what differs is patched in: the damaged
// chunks as rebuilt, the parity of every group with damage, and, always
// (they are small), the header, the copies of the index's slots and of the
// header, and the size. Meanwhile every byte the new container must hold,
// its chunks authenticated (or rebuilt and authenticated) and its parity
// computed from them, is digested in the order of the file; the digest is
// returned.
PlaintextDigest SealedRepair::Patch() {
    TreeOps& files = run_.files;
    header_ = read_header_;
    const ChunkLayout layout(header_);
    const auto size = static_cast<std::int64_t>(layout.ContainerSize());
    OrFail(files.CopyOpen(source_.container().file(), repaired_,
                          std::min(source_.container().source().Size(), size)));
    OrFail(files.SetSizeOpen(repaired_, size));
    const SealedHeaderBytes header = EncodeSealedHeader(header_);
    OrFail(files.Write(repaired_, 0, header.data(), header.size()));
    OrFail(files.Write(repaired_, static_cast<std::int64_t>(layout.HeaderCopyAt()), header.data(),
                       header.size()));
    expected_.emplace();
    expected_->digest.Update(header.data(), header.size());
    SealedStreamReader in = OrFail(SealedStreamReader::Open(
        source_.container().source(), header_, keys_, SealedDamage::kRepair,
        [&](const GroupOutcome& outcome, const std::uint8_t* slots) {
            return PatchGroup(layout, outcome, slots);
        }));
    const IndexRead index = ReadIndex(in);
    // The header kept must describe this very index.
    if (header_.index_length != index.bytes.size() ||
        header_.plaintext_length != index.plaintext_length)
        ThrowFailure(DamagedError(Text(Msg::kSealedGeometryOutOfRange)));
    ReadRest(in, index, nullptr, nullptr);
    // What follows the groups, in order: the last group's parity, the copy
    // of the index's slots, the copy of the header.
    PlaintextHash& digest = expected_->digest;
    digest.Update(expected_->pending_parity.data(), expected_->pending_parity.size());
    digest.Update(expected_->index_slots.data(), expected_->index_slots.size());
    digest.Update(header.data(), header.size());
    return digest.Final();
}

Status SealedRepair::PatchGroup(const ChunkLayout& layout, const GroupOutcome& outcome,
                                const std::uint8_t* slots) {
    TreeOps& files = run_.files;
    const std::uint64_t first = layout.FirstChunk(outcome.group);
    const std::uint64_t count = layout.ChunksIn(outcome.group);
    const std::size_t slot = layout.slot_size;
    auto put = [&](std::uint64_t at, const std::uint8_t* bytes) {
        return files.Write(repaired_, static_cast<std::int64_t>(at), bytes, slot);
    };
    for (const std::uint64_t n : outcome.damaged) {
        if (Status written = put(layout.ChunkAt(n), slots + (n - first) * slot); !written)
            return written;
    }
    for (std::uint64_t n = first; n < std::min(first + count, layout.index_chunks); ++n) {
        if (Status written = put(layout.IndexCopyAt(n), slots + (n - first) * slot); !written)
            return written;
        expected_->index_slots.insert(expected_->index_slots.end(), slots + (n - first) * slot,
                                      slots + (n - first + 1) * slot);
    }
    // The group's parity as computed from its slots: ReadGroup left it
    // after them unless a chunk was damaged.
    std::vector<std::uint8_t> parity(slots + layout.group_data * slot,
                                     slots + (layout.group_data + layout.group_parity) * slot);
    if (!outcome.damaged.empty() || outcome.parity_differs) {
        const Result<ParityCode> code = ParityCode::Make(static_cast<unsigned>(count),
                                                         static_cast<unsigned>(layout.group_parity));
        if (!code)
            return code.error();
        std::vector<const std::uint8_t*> data(count);
        std::vector<std::uint8_t*> out(layout.group_parity);
        for (std::uint64_t j = 0; j < count; ++j)
            data[j] = slots + j * slot;
        for (std::uint64_t r = 0; r < layout.group_parity; ++r)
            out[r] = parity.data() + r * slot;
        code->Encode(data, out, slot);
        for (std::uint64_t r = 0; r < layout.group_parity; ++r) {
            if (Status written = put(layout.ParityAt(outcome.group, r), out[r]); !written)
                return written;
        }
    }
    // In the file, a group's data comes before the parity of the group
    // before it.
    PlaintextHash& digest = expected_->digest;
    digest.Update(slots, count * slot);
    if (outcome.group > 0)
        digest.Update(expected_->pending_parity.data(), expected_->pending_parity.size());
    expected_->pending_parity = std::move(parity);
    return Status::Ok();
}

SealedRepair::IndexRead SealedRepair::ReadIndex(SealedStreamReader& in) {
    const std::vector<SealedEntry> index = OrFail(ReadSealedIndex(in));
    IndexRead read{OrFail(EncodeSealedIndex(index)), index.size(), 0};
    read.plaintext_length = SealedPlaintextLength(index, read.bytes.size());
    return read;
}

// The plaintext after the index read through the stream (damaged chunks
// rebuilt, nothing unauthenticated), into `stream` and `plaintext` where
// given, to its proven end.
void SealedRepair::ReadRest(SealedStreamReader& in, const IndexRead& index,
                            SealedStreamWriter* stream, PlaintextHash* plaintext) {
    const auto total = static_cast<std::int64_t>(index.plaintext_length - index.bytes.size());
    std::int64_t done = 0;
    while (done < total) {
        const std::span<const std::uint8_t> piece = OrFail(in.ReadView(static_cast<std::size_t>(
            std::min<std::int64_t>(total - done, static_cast<std::int64_t>(kPiece)))));
        if (plaintext != nullptr)
            plaintext->Update(piece.data(), piece.size());
        if (stream != nullptr)
            OrFail(stream->Write(piece.data(), piece.size()));
        done += static_cast<std::int64_t>(piece.size());
        run_.host.CountWork({0, static_cast<std::int64_t>(index.entries), done, total});
        run_.host.PumpEvents();
    }
    OrFail(in.Finish());
}

// Read back from the disk, in one pass: every part sound (chunks, parity,
// copies, size) and the plaintext the one read from the damaged container.
void SealedRepair::CheckWritten(const PlaintextDigest& expected) {
    const SealedKeys& keys = new_keys_ ? *new_keys_ : keys_;
    std::vector<DecodedEntry> index;
    if (const Status same = CheckSealedOnDisk(run_.files, repaired_, keys, run_.host, expected,
                                              std::nullopt, index);
        !same)
        ThrowFailure(Error{Text(Msg::kRepairedDiffers, {same.error().message})});
}

// Version 2's, read back from the disk: every byte the one expected, so
// every chunk the one authenticated, every parity slot and copy the one
// computed.
void SealedRepair::CheckBytesWritten(const PlaintextDigest& expected) {
    const ChunkLayout layout(header_);
    if (const Status same =
            CheckBytesOnDisk(run_.files, repaired_,
                             static_cast<std::int64_t>(layout.ContainerSize()), expected);
        !same)
        ThrowFailure(Error{Text(Msg::kRepairedDiffers, {same.error().message})});
}

// Only the container that was read is replaced; no interrupt is taken here.
void SealedRepair::TakeName() {
    TreeOps& files = run_.files;
    const int folder = source_.folder();
    OrFail(source_.container().CheckNotBeingWritten());
    const EntryInfo read = source_.container().identity();
    source_.container().Close();  // Windows renames no file open for reading
    const std::string damaged_name =
        OrFail(RenameToNumbered(files, folder, name_, {"." + name_ + ".antes-de-reparar"}));
    const Result<EntryInfo> moved = files.InspectAt(folder, damaged_name);
    Status placed = moved && SameEntryAndContent(moved.value(), read)
                        ? files.RenameAt(folder, repaired_name_, name_)
                        : Status(Error{Text(Msg::kChangedWhileReading,
                                            {files.paths().DisplayPath(run_.state.FolderPath)})});
    if (!placed) {
        (void)files.RenameAt(folder, damaged_name, name_);
        OrFail(placed);
    }
    unfinished_.reset();
    (void)files.Close(repaired_);
    repaired_ = -1;
    (void)files.SyncFolderOpen(folder);
    (void)files.DeleteFileAt(folder, damaged_name, moved.value());
    (void)files.SyncFolderOpen(folder);
}

void GiveBackTheDamagedName(Run& run) {
    const std::string name = Nombre(run.state.FolderPath);
    GiveBackTheSetAsideName(run, "." + name + ".antes-de-reparar", "." + name + ".reparando",
                            Msg::kDamagedNameGivenBack);
}

void SealedRepair::RemoveRepaired() {
    TreeOps& files = run_.files;
    unfinished_.reset();
    if (repaired_ < 0)
        return;
    (void)files.Close(repaired_);
    repaired_ = -1;
    DeleteOwnFile(files, source_.folder(), repaired_name_, repaired_created_);
}

}  // namespace velmora
