#pragma once
// The in-memory parameter block.
#include "maxsdk/ParamBlock.h"

// A new block laid out by desc; float, colour and point parameters start at 0, text
// empty, references null. Table parameters have tab_size entries.
ZYHOST_API IParamBlock2* CreateParameterBlock2(const ParamBlockDesc2& desc);

// Shorthand for building descriptors.
ZYHOST_API ParamDef MakeParamDef(ParamID id, const MSTR& intName, const MSTR& localName, int type,
                                 bool animatable = true, int tabSize = 0);
