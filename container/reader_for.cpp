#include "container/reader_for.h"

#include "container/legacy/legacy_reader.h"

namespace velmora {

std::unique_ptr<ContainerReader> ReaderFor(FileSystem& files, OpenedContainer& container,
                                           const ContainerHeader& header,
                                           const CipherTables& tables, Host& host) {
    return std::make_unique<LegacyReader>(files, container.file(), container.source(), header,
                                          tables, host);
}

}  // namespace velmora
