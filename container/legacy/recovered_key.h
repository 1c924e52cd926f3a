#pragma once

#include <string>

#include "base/result.h"
#include "cipher/cipher_tables.h"
#include "container/byte_source.h"
#include "container/legacy/container_format.h"

namespace velmora {

// The key of a legacy container, found without its password. The check
// value in the header allows two keys (KeysFromCheckValue); the key is the
// one whose check value the program computes equal to the stored one and
// under which every stored name begins with "\" (the records are read and
// checked as the decoder reads them). Refused, saying why, when neither
// key fits (the header or the names are damaged) or both do (no record
// tells them apart).
Result<std::string> RecoverKey(const CipherTables& tables, ByteSource& source,
                               const ContainerHeader& header);

}  // namespace velmora
