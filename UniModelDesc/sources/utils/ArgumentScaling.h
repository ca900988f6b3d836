#pragma once
// Rescales argument values: the key times of argument animation and the range
// ends of argument visibility, for models whose arguments run over another
// interval than the one they were animated in.
namespace model {

class RootNode;

// Multiplies every key time of every position, rotation and scale key list
// and both ends of every visibility range of every tree node by factor. With
// a negative factor the keys and ranges are put back into ascending order.
void scaleArgumentValues(RootNode& root, double factor);

} // namespace model
