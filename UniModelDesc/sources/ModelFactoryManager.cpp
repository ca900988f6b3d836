#include "ModelFactoryManager.h"

namespace model {

ModelFactoryManager& ModelFactoryManager::instance()
{
    static ModelFactoryManager manager;
    return manager;
}

} // namespace model
