// velmora-cli: the program's engine for scripts and terminals.
#include "cli/commands.h"
#include "platform/posix/posix_file_system.h"

int main(int argc, char** argv) {
    velmora::OpenMissingStandardDescriptors();
    velmora::PosixFileSystem files;
    return velmora::CliMain(argc, argv, files);
}
