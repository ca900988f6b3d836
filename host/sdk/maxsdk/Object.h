#pragma once
// Scene objects, the modifier stack and the evaluated object of a node.
#include "maxsdk/Mesh.h"
#include "maxsdk/Reference.h"

class Object;
class INode;

// The evaluated object of a node; obj may be null.
class ObjectState {
public:
    Object* obj = nullptr;
    ObjectState() = default;
    explicit ObjectState(Object* o) : obj(o) {}
};

class ZYHOST_API Object : public ReferenceTarget {
public:
    virtual ObjectState Eval(TimeValue t) { return ObjectState(this); }
    virtual int CanConvertToType(Class_ID obtype) { return obtype == ClassID(); }
    // Returns this when it is already of the type; otherwise a new object the caller
    // deletes (with DeleteMe) when it differs from this; null when not convertible.
    virtual Object* ConvertToType(TimeValue t, Class_ID obtype) { return CanConvertToType(obtype) ? this : nullptr; }
    virtual BOOL IsShapeObject() { return FALSE; }
    // The object at the bottom of the modifier stack.
    virtual Object* FindBaseObject() { return this; }
    virtual const MCHAR* GetObjectName() { return _M("Object"); }
};

class ZYHOST_API GeomObject : public Object {
public:
    SClass_ID SuperClassID() override { return GEOMOBJECT_CLASS_ID; }
};

class ZYHOST_API HelperObject : public Object {
public:
    SClass_ID SuperClassID() override { return HELPER_CLASS_ID; }
};

class ZYHOST_API TriObject : public GeomObject {
public:
    Class_ID ClassID() override { return TRIOBJ_CLASS_ID; }
    virtual Mesh& GetMesh() = 0;
};
ZYHOST_API TriObject* CreateNewTriObject();

// The dummy helper: a box in object space.
class ZYHOST_API DummyObject : public HelperObject {
public:
    Class_ID ClassID() override { return DUMMY_CLASS_ID; }
    virtual Box3 GetBox() const = 0;
    virtual void SetBox(const Box3& box) = 0;
};

class ModContext {
public:
    Matrix3* tm = nullptr;
    Box3* box = nullptr;
    void* localData = nullptr;
};

class ZYHOST_API Modifier : public ReferenceTarget {
public:
    SClass_ID SuperClassID() override { return OSM_CLASS_ID; }
    // Changes os->obj in place; the pipeline hands every modifier its own copy of
    // the object below it.
    virtual void ModifyObject(TimeValue t, ModContext& mc, ObjectState* os, INode* node) {}
    virtual BOOL IsEnabled() { return enabled_; }
    void EnableMod() { enabled_ = TRUE; }
    void DisableMod() { enabled_ = FALSE; }
    virtual const MCHAR* GetObjectName() { return _M("Modifier"); }

private:
    BOOL enabled_ = TRUE;
};

// An object with a modifier stack; modifier 0 is the top of the stack (applied last).
class ZYHOST_API IDerivedObject : public Object {
public:
    SClass_ID SuperClassID() override { return GEN_DERIVOB_CLASS_ID; }
    Class_ID ClassID() override { return DERIVOB_CLASS_ID; }
    virtual int NumModifiers() = 0;
    virtual Modifier* GetModifier(int index) = 0;
    virtual ModContext* GetModContext(int index) = 0;
    // Inserts mod before position `before` (0 = on top).
    virtual void AddModifier(Modifier* mod, ModContext* mc = nullptr, int before = 0) = 0;
    virtual void DeleteModifier(int index = 0) = 0;
    virtual Object* GetObjRef() = 0;
    virtual void ReferenceObject(Object* obj) = 0;
};
ZYHOST_API IDerivedObject* CreateDerivedObject(Object* base = nullptr);
