#pragma once
// The host's script runtime: the primitive registry and the value heap.
#include <vector>

#include "maxsdk/Script.h"

// Calls the primitive registered under name; throws MAXScriptException for an
// unknown name and lets the primitive's own errors (ArgCountError, ...) through.
ZYHOST_API Value* CallPrimitive(const MSTR& name, std::vector<Value*> args);
// Deletes every value created since the last collection. Call it only between
// script statements, when no value is held.
ZYHOST_API void CollectScriptGarbage();
ZYHOST_API std::size_t LiveScriptValues();
