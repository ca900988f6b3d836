// zyhost: the in-memory host as a command-line program (see README.md).
#include <unistd.h>

#include <iostream>

#include "zyhost/Cli.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    zyhost::CliDefaults defaults{ZY_PLUGIN_DIR, ZY_PLUGCFG_DIR};
    return zyhost::RunCli(args, defaults, std::cout, std::cerr, isatty(STDERR_FILENO) != 0);
}
