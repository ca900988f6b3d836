#include "PropertyText.h"

#include "LuaText.h"
#include "zy/ExtException.h"

namespace lu {

namespace {
const char kLineBreak[] = "\r\n";
}

zy::string arrayTextForm(const zy::string& name, const std::vector<float>& values)
{
    zy::string text = model::luaFieldKey(name) + " = array(";
    for (size_t i = 0; i < values.size(); ++i) {
        if (i != 0)
            text += ',';
        text += model::fixedText(values[i]);
    }
    text += ");";
    return text;
}

zy::string userDefinesText(const model::PropertyList& properties,
                           const model::AnimatedPropertyList& animatedProperties,
                           const ArrayMap& arrays)
{
    zy::string text;
    for (const auto& property : properties)
        text += kLineBreak + property->textForm();
    for (const auto& property : animatedProperties)
        text += kLineBreak + property->textForm();
    for (const auto& [name, values] : arrays)
        text += kLineBreak + arrayTextForm(name, values);
    return text;
}

} // namespace lu
