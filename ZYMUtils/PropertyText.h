#pragma once
// Writing evaluated properties back as user-defined property text (the
// inverse of parse, used when a node's text is rewritten).
#include <vector>

#include "PropertyList.h"
#include "luaFuncHandlers.h"

namespace lu {

// "name = array(v1,v2,...);" with every value as "%f".
zy::string arrayTextForm(const zy::string& name, const std::vector<float>& values);

// The plain properties, then the argument-driven properties, then the arrays
// in map order, each line preceded by "\r\n".
zy::string userDefinesText(const model::PropertyList& properties,
                           const model::AnimatedPropertyList& animatedProperties,
                           const ArrayMap& arrays);

} // namespace lu
