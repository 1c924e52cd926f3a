#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The keys a container's check value allows. The check value is the key
// encoded with itself: c_i = (k_i + k_p) mod 256 with p = KeyPosition(i, 15),
// that is k_(i+1) and, for i = 15, k_1. The system is a cycle of odd length,
// so its alternating sum c_1 - c_2 + c_3 - ... + c_15 is 2 k_1 mod 256: an
// odd sum means no key gives these bytes (a damaged check value); an even
// one gives k_1 up to 128, and each next character follows from the one
// before it. So there are always two keys or none, the two differing by 128
// in every character; both reproduce the check value, and what the key
// encodes elsewhere (the "\" that begins every stored name) tells them
// apart. A check value of any length but 15 allows none.
std::vector<std::string> KeysFromCheckValue(std::string_view check);

}  // namespace velmora
