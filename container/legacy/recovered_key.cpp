#include "container/legacy/recovered_key.h"

#include <algorithm>
#include <vector>

#include "base/messages.h"
#include "cipher/key_recovery.h"
#include "container/legacy/password_check.h"
#include "container/legacy/record_reader.h"

namespace velmora {

Result<std::string> RecoverKey(const CipherTables& tables, ByteSource& source,
                               const ContainerHeader& header) {
    std::vector<std::string> keys = KeysFromCheckValue(header.PasswordCheck);
    std::erase_if(keys, [&](const std::string& key) {
        return !PasswordMatches(tables, header.PasswordCheck, key);
    });
    // What each key makes of the "\" that begins every stored name.
    std::vector<char> leading;
    for (const std::string& key : keys)
        leading.push_back(tables.EncCharacter("\\", 1, key));
    std::vector<bool> fits(keys.size(), true);
    if (Status read = ForEachRecord(source, header,
                                    [&](const EntryRecord& record) {
                                        for (std::size_t k = 0; k < keys.size(); ++k)
                                            fits[k] =
                                                fits[k] && record.EncodedName.front() == leading[k];
                                        return Status::Ok();
                                    });
        !read)
        return read.error();
    const auto fitting = std::count(fits.begin(), fits.end(), true);
    if (fitting == 0)
        return Error{Text(Msg::kKeyNotFoundNoneFits)};
    if (fitting > 1)
        return Error{Text(Msg::kKeyNotFoundBothFit)};
    return keys[static_cast<std::size_t>(std::find(fits.begin(), fits.end(), true) - fits.begin())];
}

}  // namespace velmora
