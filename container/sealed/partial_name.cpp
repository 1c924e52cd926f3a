#include "container/sealed/partial_name.h"

namespace velmora {

std::string PartialName(const std::string& path, std::string_view mark,
                        const std::function<bool(const std::string&)>& taken) {
    const std::size_t slash = path.rfind('/');
    const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    const std::size_t cut = dot != std::string::npos && dot > name ? dot : path.size();
    const std::string stem = path.substr(0, cut) + " " + std::string(mark);
    std::string marked = stem + path.substr(cut);
    for (int n = 2; taken(marked); ++n)
        marked = stem + " (" + std::to_string(n) + ")" + path.substr(cut);
    return marked;
}

}  // namespace velmora
