#include "container/case_collisions.h"

#include <map>
#include <string>
#include <string_view>

#include "base/cp1252_case.h"
#include "base/messages.h"
#include "base/name_text.h"

namespace velmora {

Status CheckCaseCollisions(const std::vector<DecodedEntry>& entries) {
    // Every path seen, by its upper case; each folder once, however many
    // entries lie in it.
    std::map<std::string, std::string_view> seen;
    auto add = [&](std::string_view path) -> Status {
        const auto [it, added] = seen.emplace(ToUpperCp1252(path), path);
        if (!added && it->second != path)
            return Error{
                Text(Msg::kNamesDifferOnlyInCaseHere, {ShownName(it->second), ShownName(path)})};
        return Status::Ok();
    };
    for (const DecodedEntry& entry : entries) {
        const std::string_view name = entry.name;
        // "\A\B\c": "\A", "\A\B", then "\A\B\c"; a folder's final "\" ends it.
        for (std::size_t end = name.find('\\', 1); end != std::string_view::npos;
             end = name.find('\\', end + 1))
            if (Status added = add(name.substr(0, end)); !added)
                return added;
        if (name.size() > 1 && name.back() != '\\')
            if (Status added = add(name); !added)
                return added;
    }
    return Status::Ok();
}

}  // namespace velmora
