#pragma once
// The zyhost command line:
//   zyhost [--plugins DIR] [--config DIR] info
//   zyhost [options] scene FILE
//   zyhost [options] script FILE SCRIPT.lua [--save OUT]
//   zyhost [options] export FILE [-o OUT.zym]
// Exit status: 0 success, 1 failure (bad scene, script error, error dialog shown),
// 2 wrong usage or no exporter loaded.
#include <iosfwd>
#include <string>
#include <vector>

namespace zyhost {

struct CliDefaults {
    std::string pluginDir;
    std::string configDir;
};

int RunCli(const std::vector<std::string>& args, const CliDefaults& defaults, std::ostream& out, std::ostream& err,
           bool errIsTerminal);

} // namespace zyhost
