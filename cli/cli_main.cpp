#include "cli/cli_main.h"

#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "cli/console.h"

namespace velmora {
namespace {

const char kUsage[] =
    "usage: velmora-cli encode FOLDER [--keep] [-C DIR] [--password-stdin] [--timings]\n"
    "       velmora-cli decode CONTAINER.zol [--keep] [--password-stdin]\n"
    "       velmora-cli list CONTAINER.zol [--password-stdin]\n"
    "       velmora-cli register\n"
    "       velmora-cli unregister\n"
    "\n"
    "encode  packs FOLDER into FOLDER-NAME.zol in the current directory (or DIR),\n"
    "        then overwrites every file of FOLDER with 0xFF bytes and deletes it.\n"
    "decode  restores CONTAINER.zol into a folder beside it (NAME, NAME (2), ...),\n"
    "        then deletes the container. Names come back in upper case.\n"
    "list    shows the entries of a container without extracting anything.\n"
    "register  writes the \".zol\" file type and the folder verbs \"Encriptar...\"\n"
    "        and \"Encriptar (seguro)...\" for this user (registry store and desktop\n"
    "        files), as starting velmora without an argument does.\n"
    "unregister  removes what register wrote for this user.\n"
    "\n"
    "  --keep            keep the originals (encode) or the container (decode)\n"
    "  -C DIR            write the container into DIR (encode)\n"
    "  --password-stdin  read the password as one line of standard input\n"
    "  --timings         encode: print how long packing and wiping took\n"
    "\n"
    "The password is asked on the terminal without echo (twice when encoding):\n"
    "3 to 15 characters, case-insensitive. Ctrl-C (and SIGTERM, SIGHUP) works as\n"
    "\"Cancelar\"; during the wipe it stops once the current file is done.\n"
    "Exit status: 0 done, 1 wrong password, 2 usage, 3 refused input\n"
    "(damaged container, unsafe tree), 4 failure while working, 5 the container\n"
    "is complete but part of the folder could not be wiped, 130 cancelled.\n";

int Usage(int status) {
    std::fputs(kUsage, status == 0 ? stdout : stderr);
    return status;
}

}  // namespace

namespace {

// The job's outcome is its exit status; output a closed pipe lost only earns
// a warning after it.
int Finish(int status) {
    if (OutputWasLost())
        WriteError(
            "velmora-cli: aviso: parte de la salida no se ha podido escribir (la salida "
            "est\xE1 cerrada).\n");
    return status;
}

int Parse(int argc, char** argv, FileSystem& files) {
    CliOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--help" || argument == "-h")
            return Usage(0);
        if (argument == "--keep") {
            options.keep = true;
        } else if (argument == "--timings") {
            options.timings = true;
        } else if (argument == "--password-stdin") {
            options.password_stdin = true;
        } else if (argument == "-C" && i + 1 < argc) {
            options.container_folder = argv[++i];
        } else if (options.command.empty()) {
            options.command = argument;
        } else if (options.target.empty()) {
            options.target = argument;
        } else {
            return Usage(kExitUsage);
        }
    }
    if ((options.command == "register" || options.command == "unregister") &&
        options.target.empty())
        return RunCommand(options, files);
    const bool known =
        options.command == "encode" || options.command == "decode" || options.command == "list";
    if (!known || options.target.empty())
        return Usage(kExitUsage);
    if (!options.container_folder.empty() && options.command != "encode")
        return Usage(kExitUsage);
    return RunCommand(options, files);
}

}  // namespace

int CliMain(int argc, char** argv, FileSystem& files) {
    return Finish(Parse(argc, argv, files));
}

}  // namespace velmora
