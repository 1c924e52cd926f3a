#pragma once

#include <memory>

#include "cipher/cipher_tables.h"
#include "container/container_kind.h"
#include "container/host.h"
#include "container/opened_container.h"

namespace velmora {

// The reader of an opened container's kind, chosen from its header. The
// legacy kind is the only one this program writes so far; every container
// whose header OpenedContainer accepted is read as one.
std::unique_ptr<ContainerReader> ReaderFor(FileSystem& files, OpenedContainer& container,
                                           const ContainerHeader& header,
                                           const CipherTables& tables, Host& host);

}  // namespace velmora
