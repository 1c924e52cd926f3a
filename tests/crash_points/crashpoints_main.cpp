// velmora-cli for the crash-injection tests: the same program on a file
// system that can kill the process after any operation that changes the disk
// (VELMORA_KILL_AT). Not installed.
#include "cli/commands.h"
#include "platform/posix/posix_file_system.h"
#include "tests/crash_points/crash_point_file_system.h"

int main(int argc, char** argv) {
    velmora::OpenMissingStandardDescriptors();
    velmora::CrashPointFileSystem files;
    return velmora::CliMain(argc, argv, files);
}
