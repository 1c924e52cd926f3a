#include "container/legacy/password_check.h"

#include "container/legacy/container_format.h"

namespace velmora {

std::string MakePasswordCheck(const CipherTables& tables, const std::string& key) {
    return FixedText(tables.Enc(key, key), kPasswordCheckWidth);
}

bool PasswordMatches(const CipherTables& tables, const std::string& stored_check,
                     const std::string& key) {
    return FixedText(stored_check, kPasswordCheckWidth) == MakePasswordCheck(tables, key);
}

bool PasswordCheckHasEdgeSpace(const CipherTables& tables, const std::string& key) {
    const std::string check = tables.Enc(key, key);
    return check.empty() || check.size() != key.size() || check.front() == ' ' ||
           check.back() == ' ';
}

bool KeyUnusableByFormat(const CipherTables& tables, const std::string& key) {
    return PasswordCheckHasEdgeSpace(tables, key) || tables.Enc("\\", key) == " ";
}

}  // namespace velmora
