#include "container/conversion.h"

#include <vector>

#include "base/messages.h"
#include "container/byte_source.h"
#include "container/engine_failure.h"
#include "container/legacy/legacy_kind.h"
#include "container/own_file.h"
#include "container/pack.h"
#include "container/path_helpers.h"
#include "container/pumped_work.h"
#include "container/sealed/sealed_header.h"
#include "container/sealed/sealed_index.h"
#include "container/sealed/sealed_reader.h"
#include "container/sealed/sealed_stream_writer.h"
#include "container/staging_folder.h"
#include "container/wipe.h"
#include "container/written_check.h"
#include "platform/system_failure.h"

namespace velmora {

std::string Conversion::InFolder(const std::string& name) const {
    const std::string parent = ParentOf(run_.state.FolderPath);
    return parent.empty() ? name : parent + "\\" + name;
}

bool Conversion::IsTheLegacyRead(const EntryInfo& now) const {
    return SameEntryAndContent(now, legacy_read_);
}

void Conversion::ReadLegacy(const ContainerHeader& header) {
    OpenedContainer& container = source_.container();
    legacy_read_ = container.identity();
    name_ = Nombre(run_.state.FolderPath);
    reader_ = LegacyKind(run_, run_.state.PasswordKey)
                  .Reader(container.file(), container.source(), header, StoredNameCase::kAsStored);
    legacy_ = OrFail(reader_->ReadIndex());
}

// Locked until the end, so that another run knows it is being written;
// "Cancelar" removes it while it is unfinished.
void Conversion::CreateSealedFile() {
    TreeOps& files = run_.files;
    // Beside a whole legacy container, an unfinished sealed one nobody
    // writes is what a killed conversion left: it goes, said once.
    const NumberedFile created = OrFail(CreateNumberedFile(
        files, source_.folder(), {name_ + ".convirtiendo"}, [&](const std::string& taken) {
            return RemoveIfAbandoned(run_, source_.folder(), taken,
                                     Msg::kRemovedAbandonedConversion, InFolder(taken));
        }));
    sealed_ = created.handle;
    sealed_name_ = created.name;
    sealed_created_ = OrFail(files.InspectOpen(sealed_));
    unfinished_.emplace(run_, [this] { RemoveSealed(); });
    if (!OrFail(files.TryLock(sealed_)))
        ThrowFailure(Error{
            Text(Msg::kAlreadyWorkingOn, {files.paths().DisplayPath(InFolder(sealed_name_))})});
}

void Conversion::WriteSealed(const std::string& password) {
    TreeOps& files = run_.files;
    run_.host.BeginStep(Text(Msg::kConvertingCaption));
    const std::vector<SealedEntry> index =
        OrFail(ConvertedIndex(legacy_, legacy_read_.modified_ns));
    SealedHeader header = OrFail(NewSealedHeader(run_.options.sealed_parameters));
    const std::vector<std::uint8_t> index_bytes = OrFail(EncodeSealedIndex(index));
    header.index_length = index_bytes.size();
    header.plaintext_length = SealedPlaintextLength(index, index_bytes.size());
    // The key's derivation is the slow step; the windows stay alive.
    Result<SealedKeys> keys = Error{""};
    RunWhilePumping(run_.host, [&] { keys = SealedKeys::Derive(password, header); });
    keys_.emplace(OrFail(std::move(keys)));
    run_.state.TotalBytes = 0;
    for (const DecodedEntry& entry : legacy_.entries)
        if (entry.size >= 0)
            run_.state.TotalBytes += entry.size;

    CreateSealedFile();
    try {
        BufferedWriter out(files, sealed_, 0);
        SealedStreamWriter stream = OrFail(SealedStreamWriter::Begin(out, *keys_, header));
        OrFail(stream.Write(index_bytes.data(), index_bytes.size()));
        PlaintextHash plaintext;
        std::int64_t done = 0;
        for (const DecodedEntry& entry : legacy_.entries) {
            if (entry.size < 0)
                continue;
            OrFail(reader_->ReadFileData(entry, [&](const std::uint8_t* data, std::size_t length) {
                plaintext.Update(data, length);
                return stream.Write(data, length);
            }));
            done += entry.size;
            run_.host.AdvanceProgress(done * 10 / (run_.state.TotalBytes + 1));
            run_.host.CountWork({&entry - legacy_.entries.data() + 1,
                                 static_cast<std::int64_t>(legacy_.entries.size()), done,
                                 run_.state.TotalBytes});
        }
        OrFail(reader_->ReadEnd());
        OrFail(stream.Finish());
        OrFail(out.Flush());
        OrFail(files.Flush(sealed_));
        CheckWritten(plaintext.Final(), index);
    } catch (const EngineFailure&) {
        RemoveSealed();
        throw;
    }
}

// As the seal command checks what it wrote: read back from the disk, not
// from the system's cache, authenticated to its final message, its bytes
// must be the ones the legacy container gave.
void Conversion::CheckWritten(const PlaintextDigest& expected,
                              const std::vector<SealedEntry>& written_index) {
    TreeOps& files = run_.files;
    std::vector<DecodedEntry> index;
    if (const Status same = CheckSealedOnDisk(files, sealed_, *keys_, run_.host, expected,
                                              RestoreIndexOf(written_index), index);
        !same)
        ThrowFailure(Error{Text(Msg::kConvertedDiffers, {same.error().message})});
    // The legacy container goes only for one this system restores.
    OrFail(CheckRestorable(files, run_.state.FolderPath, index));
    OrFail(CheckPublishable(files, run_.state.FolderPath));
}

void Conversion::RemoveSealed() {
    TreeOps& files = run_.files;
    unfinished_.reset();
    if (sealed_ < 0)
        return;
    (void)files.Close(sealed_);
    sealed_ = -1;
    DeleteOwnFile(files, source_.folder(), sealed_name_, sealed_created_);
}

void Conversion::GiveLegacyItsNameBack() {
    if (legacy_name_.empty())
        return;
    if (run_.files.RenameAt(source_.folder(), legacy_name_, name_))
        legacy_name_.clear();
}

void Conversion::TakeName() {
    TreeOps& files = run_.files;
    const int folder = source_.folder();
    // Windows renames no file that is open for reading.
    source_.container().Close();
    try {
        legacy_name_ = OrFail(RenameToNumbered(files, folder, name_, {name_ + ".antiguo"}));
        // Whatever held the name may have been swapped meanwhile: only the
        // container that was read is replaced.
        const Result<EntryInfo> moved = files.InspectAt(folder, legacy_name_);
        if (!moved || !IsTheLegacyRead(moved.value()))
            ThrowFailure(Error{Text(Msg::kChangedWhileReading,
                                    {files.paths().DisplayPath(run_.state.FolderPath)})});
        OrFail(files.RenameAt(folder, sealed_name_, name_));
    } catch (const EngineFailure& failure) {
        GiveLegacyItsNameBack();
        RemoveSealed();
        if (legacy_name_.empty())
            throw;
        throw EngineFailure{
            failure.message + " " +
                Text(Msg::kLegacyKeptAs, {files.paths().DisplayPath(InFolder(legacy_name_))}),
            failure.code};
    }
    unfinished_.reset();
}

std::string Conversion::DestroyLegacy() {
    TreeOps& files = run_.files;
    const int folder = source_.folder();
    // The new names must be on disk before the old container's bytes go.
    if (Status synced = files.SyncFolderOpen(folder); !synced)
        return synced.error().message;
    Result<int> opened = files.OpenAt(folder, legacy_name_, OpenMode::kReadWrite);
    if (!opened && RefusalOf(opened.error().code) == Refusal::kDenied) {
        // A read-only container: normal attributes let its owner write it.
        const Result<EntryInfo> now = files.InspectAt(folder, legacy_name_);
        if (now && IsTheLegacyRead(now.value()))
            (void)files.SetAttrAt(folder, legacy_name_, 0, &now.value());
        opened = files.OpenAt(folder, legacy_name_, OpenMode::kReadWrite);
    }
    if (!opened)
        return opened.error().message;
    const int file = opened.value();
    const Result<EntryInfo> before = files.InspectOpen(file);
    const Result<bool> locked = files.TryLock(file);
    if (!before || !IsTheLegacyRead(before.value()) || !locked || !locked.value()) {
        (void)files.Close(file);
        return Text(Msg::kConvertedLegacyChanged);
    }
    const Status overwritten = OverwriteWith255(files, file, before->size, true);
    const Result<EntryInfo> after = files.InspectOpen(file);
    (void)files.Close(file);
    if (!overwritten)
        return overwritten.error().message;
    if (!after)
        return after.error().message;
    const Result<bool> deleted = files.DeleteFileAt(folder, legacy_name_, after.value());
    if (!deleted)
        return deleted.error().message;
    if (!deleted.value())
        return Text(Msg::kConvertedLegacyChanged);
    legacy_name_.clear();
    (void)files.SyncFolderOpen(folder);
    return "";
}

}  // namespace velmora
