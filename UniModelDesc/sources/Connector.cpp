#include "Connector.h"

#include "ModelFactoryManager.h"
#include "io/INodeWriter.h"

namespace model {

void Connector::accept(INodeWriter& writer)
{
    writer.visitConnector(*this);
}

void Connector::collectArguments(ArgumentSet& arguments) const
{
    for (const auto& property : animatedProperties_)
        if (property->argument() != -1)
            arguments.insert(property->argument());
}

namespace {
const zy::regClass<Connector, ModelFactoryManager> regConnector("model::Connector");
}

} // namespace model
