#pragma once
// The material attribute: a custom attribute on host materials carrying an engine
// material description. Found in a material's custom-attribute container by its
// class identifier and then used through this interface.
#include "maxsdk/CustAttrib.h"
#include "shared/IMaterialDesc.h"

constexpr Class_ID MATERIAL_ATTRIB_CLASS_ID(0x07cb6596, 0x7e112e78);

class IMaterialAttrib : public CustAttrib {
public:
    virtual IMaterialDesc* getDesc() = 0;
    // True when the description allows every node class or lists nodeClass (exact).
    virtual bool isNodeAllowed(const char* nodeClass) = 0;
    // True when the description allows every object kind or lists objectKind
    // (0 mesh, 1 spline, 2 line).
    virtual bool isObjectAllowed(int objectKind) = 0;
    // The same description, for the tool's own editors (may return a derived type).
    virtual IMaterialDesc* getDescExt() = 0;
};
