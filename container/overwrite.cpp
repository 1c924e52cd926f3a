#include "container/overwrite.h"

#include <vector>

namespace velmora {
namespace {

constexpr std::int64_t kPiece = 65535;
// The last piece is shorter than one and a half pieces.
constexpr std::size_t kLargestPiece = 98303;

}  // namespace

Status OverwriteWith255(TreeOps& files, int file, std::int64_t size, bool flush,
                        const std::function<void()>& after_piece) {
    static const std::vector<std::uint8_t> ones(kLargestPiece, 0xFF);
    const std::int64_t pieces = std::max<std::int64_t>(1, (size + kPiece / 2) / kPiece);
    for (std::int64_t piece = 1, at = 0; piece <= pieces && at < size; ++piece) {
        const std::int64_t length = piece < pieces ? kPiece : size - at;
        if (Status written = files.Write(file, at, ones.data(), static_cast<std::size_t>(length));
            !written)
            return written;
        at += length;
        if (after_piece)
            after_piece();
    }
    return flush ? files.Flush(file) : Status::Ok();
}

}  // namespace velmora
