#pragma once
// The zym command line: build, dump, check, stats and diff. main() only
// forwards its arguments here, so the tests drive the same code.
#include <ostream>
#include <string>
#include <vector>

namespace zym {

// args excludes the program name. Returns the process exit status:
// 0 success (diff: equal), 1 a problem in the input (check: a problem found;
// diff: differences), 2 wrong usage.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace zym
