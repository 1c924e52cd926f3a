#include "platform/posix/standard_descriptors.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

namespace velmora {

void OpenMissingStandardDescriptors() {
    for (int descriptor = 0; descriptor <= 2; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        // open() returns the lowest free descriptor: this one.
        const int opened = open("/dev/null", descriptor == 0 ? O_RDONLY : O_WRONLY);
        if (opened >= 0 && opened != descriptor)
            close(opened);
    }
}

}  // namespace velmora
