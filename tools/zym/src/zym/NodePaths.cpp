#include "zym/NodePaths.h"

#include <map>
#include <utility>

namespace zym {

std::vector<std::string> nodePaths(const std::vector<TreeNode>& nodes)
{
    std::map<std::pair<std::int32_t, std::string>, int> siblingsNamed;
    for (const TreeNode& n : nodes)
        ++siblingsNamed[{n.parent, n.name}];
    std::vector<std::string> paths(nodes.size());
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        const TreeNode& n = nodes[i];
        if (i == 0) {
            paths[i].push_back('/');
            continue;
        }
        if (n.parent < 0 || std::size_t(n.parent) >= i)
            continue;
        const std::string& parentPath = paths[n.parent];
        if (parentPath.empty() || n.name.empty() || n.name.find('/') != std::string::npos ||
            siblingsNamed[{n.parent, n.name}] != 1)
            continue;
        paths[i] = (parentPath == "/" ? "" : parentPath) + "/" + n.name;
    }
    return paths;
}

} // namespace zym
