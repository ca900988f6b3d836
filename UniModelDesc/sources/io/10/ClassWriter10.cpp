#include "io/10/ClassWriter10.h"

#include <vector>

#include "RootNode.h"
#include "io/MemBinaryFileW.h"

namespace model {

namespace {

template <class List>
void writeSection(io::IBinaryFileW& out, INodeWriter& writer, const char* name, const List& list)
{
    if (list.empty())
        return;
    out.writeString(name);
    out.writeU32(static_cast<uint32_t>(list.size()));
    for (size_t i = 0; i < list.size(); ++i)
        list.node(i).accept(writer);
}

} // namespace

ClassWriter10::ClassWriter10(io::MemBinaryFileW& out) : out_(out), nodeWriter_(out) {}

void ClassWriter10::write(RootNode& root)
{
    const size_t start = out_.tell();
    out_.write("ZYM", 3);
    out_.writeU16(version());
    out_.writeU64(0);
    root.accept(nodeWriter_);

    // Number the tree in pre-order; records refer to tree nodes by this index.
    std::vector<Node*> order;
    order.reserve(root.nodeCount());
    forEachPreOrder(root.topNode(), [&](Node* n) {
        n->setTreeIndex(static_cast<int32_t>(order.size()));
        order.push_back(n);
    });

    out_.writeU32(static_cast<uint32_t>(order.size()));
    for (Node* n : order)
        n->accept(nodeWriter_);
    for (const Node* n : order)
        out_.writeI32(n->parent() ? n->parent()->treeIndex() : -1);

    const uint32_t sections = !root.connectors().empty() + !root.renderNodes().empty() +
                              !root.shellNodes().empty() + !root.lights().empty();
    out_.writeU32(sections);
    writeSection(out_, nodeWriter_, "CONNECTORS", root.connectors());
    writeSection(out_, nodeWriter_, "SHELL_NODES", root.shellNodes());
    writeSection(out_, nodeWriter_, "LIGHT_NODES", root.lights());
    writeSection(out_, nodeWriter_, "RENDER_NODES", root.renderNodes());

    // The pool goes right behind the header; writes insert, so everything
    // written since moves back.
    const size_t end = out_.tell();
    const std::vector<uint8_t> pool = out_.pool().serialize();
    out_.seek(start + 5);
    out_.writeU32(static_cast<uint32_t>(pool.size()));
    out_.write(pool.data(), pool.size());
    out_.seek(end + 4 + pool.size());
}

std::unique_ptr<IClassWriter> createClassWriter(uint16_t version, io::MemBinaryFileW& out)
{
    switch (version) {
    case 10:
        return std::make_unique<ClassWriter10>(out);
    case 11:
        return std::make_unique<ClassWriter11>(out);
    default:
        return nullptr;
    }
}

} // namespace model
