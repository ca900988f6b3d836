#pragma once
// The interface through which one evaluated field of property text becomes data.
#include <vector>

#include "zy/Shared.h"
#include "zy/String.h"

namespace lu {

// One field's value: the type tag followed by the arguments as text, e.g.
// {"vec2", "1", "2.5"}.
using ValueList = std::vector<zy::string>;

// A handler fills a container owned by the caller; it does not own it.
class FuncHandler : public zy::Shared {
public:
    ~FuncHandler() override = default;
    // Whether this handler takes the field.
    virtual bool canHandle(const zy::string& name, const ValueList& values) const = 0;
    // Stores the field; raises zy::ExtException when its values are malformed.
    virtual void handle(const zy::string& name, const ValueList& values) = 0;
};

// Handlers in the order they are asked; the first that accepts a field gets it.
using HandlerList = std::vector<zy::Ref<FuncHandler>>;

} // namespace lu
