#pragma once
// Custom attributes: plug-in objects attached to any animatable through its
// custom-attribute container.
#include "maxsdk/Reference.h"

class ICustAttribContainer;
class IMtlParams;

// A parameter dialog shown in the material editor for a material or attribute.
class ZYHOST_API ParamDlg {
public:
    virtual ~ParamDlg() = default;
    virtual Class_ID ClassID() = 0;
    virtual void SetThing(ReferenceTarget* m) = 0;
    virtual ReferenceTarget* GetThing() = 0;
    virtual void SetTime(TimeValue t) = 0;
    virtual void ReloadDialog() = 0;
    virtual void DeleteThis() = 0;
    virtual void ActivateDlg(BOOL onOff) = 0;
};

class ZYHOST_API CustAttrib : public ReferenceTarget {
public:
    SClass_ID SuperClassID() override { return CUST_ATTRIB_CLASS_ID; }
    virtual const MCHAR* GetName(bool localName = false) { return _M("Custom Attribute"); }
    virtual ParamDlg* CreateParamDlg(HWND hwMtlEdit, IMtlParams* imp) { return nullptr; }
    virtual bool CheckCopyAttribTo(ICustAttribContainer* to) { return true; }
};

// The ordered attributes of one animatable; holds a reference to each.
class ZYHOST_API ICustAttribContainer : public ReferenceTarget {
public:
    SClass_ID SuperClassID() override { return CUST_ATTRIB_CONTAINER_CLASS_ID; }
    virtual int GetNumCustAttribs() = 0;
    virtual CustAttrib* GetCustAttrib(int i) = 0;
    virtual void AppendCustAttrib(CustAttrib* attribute) = 0;
    virtual void InsertCustAttrib(int i, CustAttrib* attribute) = 0;
    virtual void SetCustAttrib(int i, CustAttrib* attribute) = 0;
    // Removes attribute i; it is deleted when nothing else references it.
    virtual void RemoveCustAttrib(int i) = 0;
    virtual Animatable* GetOwner() = 0;
};
