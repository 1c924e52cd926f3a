#pragma once

#include <string>

#include "cipher/cipher_tables.h"

namespace velmora {

// The header's check value: the key encoded with itself, left-justified into
// 15 bytes.
std::string MakePasswordCheck(const CipherTables& tables, const std::string& key);

// True when the 15 stored bytes are exactly the check value of this key. All
// 15 bytes are compared, so a check value that begins or ends with a space
// still opens with its own key.
bool PasswordMatches(const CipherTables& tables, const std::string& stored_check,
                     const std::string& key);

// True when the check value of this key begins or ends with a space: the
// trimmed comparison used by other readers of the format could not verify it.
bool PasswordCheckHasEdgeSpace(const CipherTables& tables, const std::string& key);

// True when the format cannot use this key: its check value begins or ends
// with a space, or it encodes the backslash that begins every stored name
// as a space (a second key character of code 196, from a-circumflex typed
// second), so no name could be stored exactly.
bool KeyUnusableByFormat(const CipherTables& tables, const std::string& key);

}  // namespace velmora
