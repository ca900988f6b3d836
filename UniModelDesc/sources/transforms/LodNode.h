#pragma once
// Level-of-detail switch: child i is shown while the engine's detail measure
// lies in range i.
#include <vector>

#include "Node.h"

namespace model {

struct LodRange {
    double from = 0; // start of the range (the exporter stores squared distances)
    double to = 0;
};

class LodNode : public Node {
public:
    LodNode() = default;
    LodNode(const LodNode&) = default;

    NodeKind kind() const override { return NodeKind::LodNode; }
    void accept(INodeWriter& writer) override;
    // Node equality and the same ranges (ends within 1e-6): LOD nodes with
    // different ranges must not be taken for one another.
    bool equals(const Node& other) const override;
    std::unique_ptr<Node> clone() const override;

    // One range per child, in child order.
    const std::vector<LodRange>& ranges() const { return ranges_; }
    std::vector<LodRange>& ranges() { return ranges_; }
    void addRange(double from, double to) { ranges_.push_back({from, to}); }

private:
    std::vector<LodRange> ranges_;
};

} // namespace model
