#pragma once
// Class descriptors, the class directory and the plug-in library entry points.
#include <vector>

#include "maxsdk/ClassIds.h"
#include "maxsdk/Strings.h"

class ZYHOST_API ClassDesc {
public:
    virtual ~ClassDesc() = default;
    virtual int IsPublic() = 0;
    // A new object of the class; loading is true when the host is about to Load it.
    virtual void* Create(BOOL loading = FALSE) = 0;
    virtual const MCHAR* ClassName() = 0;
    virtual const MCHAR* NonLocalizedClassName() { return ClassName(); }
    virtual SClass_ID SuperClassID() = 0;
    virtual Class_ID ClassID() = 0;
    virtual const MCHAR* Category() = 0;
    // The script name of the class.
    virtual const MCHAR* InternalName() { return nullptr; }
    virtual HINSTANCE HInstance() { return nullptr; }
};

class ZYHOST_API ClassDesc2 : public ClassDesc {};

// Every class the host knows: its own and those of the loaded plug-ins.
class ZYHOST_API ClassDirectory {
public:
    virtual ~ClassDirectory() = default;
    virtual int Count() = 0;
    virtual ClassDesc* Get(int i) = 0;
    virtual ClassDesc* FindClass(SClass_ID superID, Class_ID classID) = 0;
    // By internal name (or class name when the class has none).
    virtual ClassDesc* FindClassByName(const MSTR& name) = 0;
    // Registers a descriptor; false when a class of the same ids is already known.
    // The directory does not own the descriptor.
    virtual bool AddClass(ClassDesc* cd) = 0;
    virtual void RemoveClass(ClassDesc* cd) = 0;
};

// The version value a library reports from LibVersion.
constexpr ULONG MakeMaxVersion(ULONG release, ULONG api, ULONG sdkRev) { return (release << 16) | (api << 8) | sdkRev; }
constexpr ULONG VERSION_3DSMAX = MakeMaxVersion(22000, 55, 0);

// Entry points of a plug-in library (exported with ZY_PLUGIN_EXPORT, C linkage).
using LibDescriptionFn = const MCHAR* (*)();
using LibNumberClassesFn = int (*)();
using LibClassDescFn = ClassDesc* (*)(int i);
using LibVersionFn = ULONG (*)();
using LibInitFn = int (*)();
using LibShutdownFn = int (*)();
