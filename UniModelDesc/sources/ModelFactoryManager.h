#pragma once
// The model library's class registry: class name to a factory creating an
// empty object of that class. Each class registers itself in the source unit
// that defines its virtual operations, so the registration is linked in
// whenever the class is.
#include "zy/FactoryManager.h"

namespace model {

class ModelFactoryManager : public zy::TFactoryManager<zy::Factory> {
public:
    static ModelFactoryManager& instance();
};

} // namespace model
