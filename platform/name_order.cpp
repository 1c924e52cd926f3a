#include "platform/name_order.h"

#include "base/cp1252_case.h"

namespace velmora {

bool NameLess(std::string_view a, std::string_view b) {
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const auto ua = UpperCp1252(static_cast<std::uint8_t>(a[i]));
        const auto ub = UpperCp1252(static_cast<std::uint8_t>(b[i]));
        if (ua != ub)
            return ua < ub;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

}  // namespace velmora
