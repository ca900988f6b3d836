#include "BaseNode.h"

#include "Property.h"

namespace model {

void BaseNode::setVersion(uint32_t version)
{
    static constexpr const char* kVersionName = "__VERSION__";
    for (size_t i = 0; i < properties_.size(); ++i) {
        BaseProperty* p = properties_[i];
        if (p->name() != kVersionName)
            continue;
        if (dynamic_cast<Property<unsigned int>*>(p))
            properties_.set(i, zy::makeRef<Property<unsigned int>>(kVersionName, version));
        return;
    }
    properties_.push_back(zy::makeRef<Property<unsigned int>>(kVersionName, version));
}

} // namespace model
