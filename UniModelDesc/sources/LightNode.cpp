#include "LightNode.h"

#include "ModelFactoryManager.h"
#include "Property.h"
#include "io/INodeWriter.h"

namespace model {

LightNode::LightNode() : BaseNode(CATEGORY_LIGHT)
{
    lightProperties_.push_back(zy::makeRef<Property<osg::Vec3f>>("", osg::Vec3f(0.0f, 0.0f, 0.0f)));
    for (float value : {0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f})
        lightProperties_.push_back(zy::makeRef<Property<float>>("", value));
    setVersion(2);
}

void LightNode::accept(INodeWriter& writer)
{
    writer.visitLightNode(*this);
}

void LightNode::collectArguments(ArgumentSet& arguments) const
{
    for (const auto& property : lightProperties_)
        if (const auto* animated = dynamic_cast<const BaseAnimatedProperty*>(property.get()))
            if (animated->argument() != -1)
                arguments.insert(animated->argument());
}

namespace {
const zy::regClass<LightNode, ModelFactoryManager> regLightNode("model::LightNode");
}

} // namespace model
