#pragma once

#include <cstddef>
#include <memory>

#include "base/result.h"
#include "container/sealed/sealed_reader.h"
#include "container/sealed/sealed_writer.h"
#include "platform/names.h"

namespace velmora {

// The sealed kind as the engine uses it: every name in UTF-8, exactly as
// the system gives it; no name rules beyond the system's own (the scan's
// exact rules); index paths checked as kSealedStoredPath says
// (relative_path.h) and as SealedTreeCheck orders them; and its writer and
// reader.
class SealedKind {
  public:
    static constexpr NameCoding kNameCoding = NameCoding::kUtf8;
    static constexpr NameRules kNameRules = NameRules::kExact;

    explicit SealedKind(Host& host) : host_(host) {}

    // Names are the full paths less their first `root_length` characters.
    SealedWriter Writer(SealedKeys keys, const SealedHeader& header,
                        std::size_t root_length) const {
        return SealedWriter(std::move(keys), header, root_length, host_);
    }
    std::unique_ptr<SealedReader> Reader(ByteSource& source, const SealedHeader& header,
                                         const SealedKeys& keys,
                                         SealedDamage damage = SealedDamage::kRepair) const {
        return std::make_unique<SealedReader>(source, header, keys, host_, damage);
    }
    // The reader of a container just written, its header read first, that
    // refuses any damage.
    Result<std::unique_ptr<ContainerReader>> ReaderOfWritten(ByteSource& source,
                                                             const SealedKeys& keys) const {
        Result<SealedHeader> header = ReadSealedHeader(source);
        if (!header)
            return header.error();
        return std::unique_ptr<ContainerReader>(
            Reader(source, header.value(), keys, SealedDamage::kRefuse));
    }

  private:
    Host& host_;
};

}  // namespace velmora
