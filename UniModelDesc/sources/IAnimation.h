#pragma once
// Implemented by every model object that reads arguments.
#include <cstdint>
#include <set>

namespace model {

using ArgumentSet = std::set<int32_t>;

class IAnimation {
public:
    virtual ~IAnimation() = default;
    // Adds every argument number the object uses.
    virtual void collectArguments(ArgumentSet& arguments) const = 0;
};

} // namespace model
