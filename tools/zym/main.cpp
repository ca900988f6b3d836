// zym: builds, dumps, checks, compares and summarises ZYM model files.
#include <iostream>

#include "zym/Cli.h"

int main(int argc, char** argv)
{
    return zym::runCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
