#pragma once

#include <cstdint>
#include <functional>

#include "platform/tree_ops.h"

namespace velmora {

// Overwrites the first `size` bytes of the open `file` with bytes of 255,
// in pieces of 65,535 bytes, as many as the size holds rounded to the
// nearest (at least one), the last one taking what remains: a last piece
// is never shorter than half a piece unless it is the only one.
// `after_piece` runs after each piece written (the windows' events). Stops
// at the first write that fails and returns its failure; with `flush`, the
// file is then flushed to the disk.
Status OverwriteWith255(TreeOps& files, int file, std::int64_t size, bool flush,
                        const std::function<void()>& after_piece = {});

}  // namespace velmora
