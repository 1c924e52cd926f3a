#include "app/costly_key.h"

#include <algorithm>
#include <cmath>

#include "base/messages.h"

namespace velmora {
namespace {

// The middle of the default's measured cost (docs/sealed-format.md).
constexpr double kDefaultSeconds = 0.8;

}  // namespace

long EstimatedDerivationSeconds(const SealedParameters& parameters) {
    const double asked = double(parameters.opslimit) * double(parameters.memlimit);
    const double usual = double(kSealedDefaultOpsLimit) * double(kSealedDefaultMemLimit);
    return std::max(1L, std::lround(kDefaultSeconds * asked / usual));
}

std::string CostlyKeyText(const SealedParameters& parameters) {
    const std::uint64_t mebibytes = (parameters.memlimit + (std::uint64_t{1} << 19)) >> 20;
    return Text(Msg::kCostlyKey, {std::to_string(mebibytes), std::to_string(parameters.opslimit),
                                  std::to_string(EstimatedDerivationSeconds(parameters))});
}

}  // namespace velmora
