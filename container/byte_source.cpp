#include "container/byte_source.h"

#include <cstring>

#include "base/messages.h"

namespace velmora {

Status MemoryByteSource::ReadAt(std::int64_t offset, std::uint8_t* out, std::size_t length) {
    if (offset < 0 || offset > Size() || static_cast<std::int64_t>(length) > Size() - offset)
        return Error{Text(Msg::kReadOutsideFile)};
    if (length > 0)  // an empty vector's data() may be null
        std::memcpy(out, bytes_.data() + offset, length);
    return Status::Ok();
}

}  // namespace velmora
