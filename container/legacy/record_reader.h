#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "base/result.h"
#include "container/byte_source.h"
#include "container/legacy/container_format.h"

namespace velmora {

// Everything about a container but its data: header, records and where the
// data area lies.
struct ContainerIndex {
    ContainerHeader header;
    std::vector<EntryRecord> records;
    std::int64_t data_offset = 0;  // first byte of the data area
    std::int64_t data_length = 0;  // sum of the file entries' sizes
};

// Reads the header alone; refuses a file shorter than a header.
Result<ContainerHeader> ReadContainerHeader(ByteSource& source);

// Checks the header against the file (a known width code, a non-negative
// count whose records fit in it), then reads the records a chunk at a time
// and hands each to visit, in order, checking sizes of -1 or more and a data
// area as long as the sizes claim so far. Holds one chunk at a time; the
// first failure, of the file or of visit, ends the reading.
Status ForEachRecord(ByteSource& source, const ContainerHeader& header,
                     const std::function<Status(const EntryRecord&)>& visit);

// The header and every record, checked as ForEachRecord checks them. Holds
// the records the file really has, no more.
Result<ContainerIndex> ReadContainerIndex(ByteSource& source);

}  // namespace velmora
