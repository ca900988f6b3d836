#pragma once
// Sources of argument values: the scalar inputs that drive animated properties
// and nodes.
#include <cstdint>

namespace model {

class IModelArguments {
public:
    virtual ~IModelArguments() = default;
    virtual float value(int32_t argument) const = 0;
};

// Every argument at 0: the rest pose.
class DummyArguments : public IModelArguments {
public:
    float value(int32_t) const override { return 0.0f; }
};

} // namespace model
