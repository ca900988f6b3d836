#pragma once
// The abstract base of materials (model::PropertiesSet derives from it).
// The root lists the distinct materials of its rendering nodes and writes
// each once into the file through write().
#include "zy/Shared.h"

namespace io {
class IBinaryFileW;
}

namespace model {

class BaseMaterial : public zy::Shared {
public:
    ~BaseMaterial() override = default;
    // The material's record (keyed entries).
    virtual void write(io::IBinaryFileW& out) = 0;
};

} // namespace model
