#include "platform/tree_ops.h"

#include <algorithm>

namespace velmora {

Status TreeOps::CopyOpen(int from, int to, std::int64_t length) {
    std::vector<std::uint8_t> piece(std::size_t{1} << 20);
    for (std::int64_t done = 0; done < length;) {
        const Result<std::size_t> read =
            Read(from, done, piece.data(),
                 static_cast<std::size_t>(std::min<std::int64_t>(length - done, piece.size())));
        if (!read)
            return read.error();
        if (read.value() == 0)
            return Status::Ok();
        if (Status written = Write(to, done, piece.data(), read.value()); !written)
            return written;
        done += static_cast<std::int64_t>(read.value());
    }
    return Status::Ok();
}

}  // namespace velmora
