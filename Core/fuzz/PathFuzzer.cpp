// Path normalisation and the sandbox's containment test on arbitrary bytes.
// The input is "<path>\0<root>".
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "zy/FileSystem.h"

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkNormalForm(const std::string& input)
{
    const std::string n = zy::fs::normalizePath(input);
    check(!n.empty());
    check(zy::fs::normalizePath(n) == n);
    check(n.find('\\') == std::string::npos);
    check(n.find("//") == std::string::npos);
    check(n == "/" || n.back() != '/');
    const bool absolute = n.front() == '/';
    check(absolute == (!input.empty() && (input.front() == '/' || input.front() == '\\')));
    // "." only alone; ".." only as leading segments of a relative path.
    bool leading = !absolute;
    size_t pos = absolute ? 1 : 0;
    while (pos < n.size()) {
        size_t end = n.find('/', pos);
        if (end == std::string::npos)
            end = n.size();
        const std::string_view segment(n.data() + pos, end - pos);
        check(!segment.empty());
        check(segment != "." || n == ".");
        if (segment == "..")
            check(leading);
        else
            leading = false;
        pos = end + 1;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    const std::string path = input.substr(0, split);
    const std::string root = split == std::string::npos ? "/srv/root" : "/" + input.substr(split + 1);
    if (path.find('\0') != std::string::npos || root.find('\0') != std::string::npos)
        return 0;
    checkNormalForm(path);
    checkNormalForm(root);

    // A relative path that does not climb stays under any root it is joined to.
    const std::string relative = zy::fs::normalizePath(path);
    if (relative.front() != '/' && relative.rfind("..", 0) != 0)
        check(zy::fs::isPathUnder(root + "/" + path, root));
    // Whatever is under a root starts with the root.
    if (zy::fs::isPathUnder(path, root)) {
        const std::string p = zy::fs::absolutePath(path);
        const std::string r = zy::fs::absolutePath(root);
        check(p.size() >= r.size());
    }
    return 0;
}
