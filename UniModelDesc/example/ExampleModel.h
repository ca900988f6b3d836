#pragma once
// The bundled example model: a small vehicle-like tree under the Z-up to Y-up
// conversion transform, with properties of several classes.
#include "RootNode.h"

namespace example {

zy::Ref<model::RootNode> buildExampleModel();

} // namespace example
