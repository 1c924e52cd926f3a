#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "container/container_kind.h"
#include "container/legacy/legacy_reader.h"
#include "container/restore_source.h"
#include "container/run.h"
#include "container/sealed/plaintext_hash.h"
#include "container/sealed/sealed_format.h"
#include "container/sealed/sealed_keys.h"

namespace velmora {

// Turns an opened legacy container into a sealed one under the same name,
// its plaintext never written to disk: the legacy data is decoded piece by
// piece straight into the sealed stream. The names keep their stored case.
//
// The legacy container goes only once the sealed one has its name, so that
// a run ended at any moment (a kill, a power loss) leaves the legacy
// container whole, or a sealed one checked from the disk, or both:
//   1. the sealed container is written as NAME.zol.convirtiendo (or
//      .convirtiendo2, ...: a name no other step of the program removes),
//      locked, flushed, and read back from the disk against the bytes put
//      into it;
//   2. the legacy container is renamed NAME.zol.antiguo (or .antiguo2, ...),
//      never replacing anything, and checked to be the file that was read;
//   3. the sealed container is renamed NAME.zol, and the folder flushed;
//   4. the legacy container is overwritten with bytes of 255, flushed and
//      deleted, while its name still holds the file that was overwritten.
// A failure before step 3 is complete deletes the sealed container and
// gives the legacy one back its name, as it was. Each step but the last
// raises the run's failure.
class Conversion {
  public:
    Conversion(Run& run, RestoreSource& source) : run_(run), source_(source) {}
    Conversion(const Conversion&) = delete;
    Conversion& operator=(const Conversion&) = delete;

    // The legacy index read and checked under run.state.PasswordKey, with
    // its names as stored.
    void ReadLegacy(const ContainerHeader& header);
    // Steps 1 to 3.
    void WriteSealed(const std::string& password);
    void TakeName();
    // Step 4: "" when the legacy container is gone, otherwise why it stays
    // (under legacy_name()).
    std::string DestroyLegacy();

    // The legacy container's path now.
    std::string LegacyPath() const { return InFolder(legacy_name_.empty() ? name_ : legacy_name_); }

  private:
    void CreateSealedFile();
    void CheckWritten(const PlaintextDigest& expected,
                      const std::vector<SealedEntry>& written_index);
    // What a failure before the sealed container has its name undoes.
    void RemoveSealed();
    void GiveLegacyItsNameBack();
    bool IsTheLegacyRead(const EntryInfo& now) const;
    std::string InFolder(const std::string& name) const;

    Run& run_;
    RestoreSource& source_;
    std::unique_ptr<LegacyReader> reader_;
    RestoreIndex legacy_;
    EntryInfo legacy_read_;  // the legacy container as it was read
    std::string name_;       // NAME.zol, the name both have in turn
    std::string legacy_name_;
    std::optional<SealedKeys> keys_;
    std::string sealed_name_;
    int sealed_ = -1;
    EntryInfo sealed_created_;
    std::optional<Unfinished> unfinished_;  // while the sealed one is unfinished
};

// The index of the sealed container a legacy container becomes, from the
// legacy index read with its names as stored (Windows-1252, "\A\b" form):
// - each name converted to UTF-8 with "/" between its parts;
// - the sealed folder first, then the legacy entries in their order, each
//   folder it lies in made an entry of its own just before the first entry
//   inside it (the legacy kind stores a folder only when it holds no file),
//   so the files keep the order of the legacy data area;
// - attributes as stored: a file's own, a folder's from the entries that
//   lie in it (an empty folder's from its own entry), the sealed folder's
//   from the header;
// - permission bits from the read-only attribute (0444 or 0644 for a file,
//   0555 or 0755 for a folder), as the legacy kind keeps none;
// - every entry the time `modified_ns`, as the legacy kind keeps no times.
Result<std::vector<SealedEntry>> ConvertedIndex(const RestoreIndex& legacy,
                                                std::int64_t modified_ns);

}  // namespace velmora
