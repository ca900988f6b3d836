#pragma once
// The host's script values and global primitives (script functions of plug-ins).
// Values are owned by the host's value heap; plug-ins create them with new or the
// intern functions and never delete them.
#include <cstddef>
#include <exception>

#include "maxsdk/Strings.h"

class INode;
class Mtl;
class Control;
class ReferenceTarget;

class ZYHOST_API Value {
public:
    virtual ~Value() = default;
    // Conversions raise ConversionError when the value is of another kind; the
    // undefined value converts to a null object.
    virtual int to_int();
    virtual float to_float();
    virtual const MCHAR* to_string();
    virtual INode* to_node();
    virtual Mtl* to_mtl();
    virtual Control* to_controller();
    virtual ReferenceTarget* to_reftarg();
    virtual bool is_undefined() { return false; }
    // A printable form ("1", "\"text\"", "$Box01", "undefined").
    virtual MSTR describe() = 0;

    static void* operator new(std::size_t size);
    static void operator delete(void* p);
};

class ZYHOST_API Integer : public Value {
public:
    explicit Integer(int v) : value(v) {}
    static Value* intern(int v);
    int to_int() override { return value; }
    float to_float() override { return float(value); }
    MSTR describe() override;
    int value;
};

class ZYHOST_API Float : public Value {
public:
    explicit Float(float v) : value(v) {}
    static Value* intern(float v);
    int to_int() override { return int(value); }
    float to_float() override { return value; }
    MSTR describe() override;
    float value;
};

class ZYHOST_API String : public Value {
public:
    explicit String(const MCHAR* s) : text(s ? s : _M("")) {}
    explicit String(MSTR s) : text(std::move(s)) {}
    const MCHAR* to_string() override { return text.c_str(); }
    MSTR describe() override;
    MSTR text;
};

// A scene object as a script value.
class ZYHOST_API MAXWrapper : public Value {
public:
    explicit MAXWrapper(ReferenceTarget* t) : target(t) {}
    ReferenceTarget* to_reftarg() override { return target; }
    ReferenceTarget* target;
};

class ZYHOST_API MAXNode : public MAXWrapper {
public:
    explicit MAXNode(INode* n);
    static Value* intern(INode* n);
    INode* to_node() override { return node; }
    MSTR describe() override;
    INode* node;
};

class ZYHOST_API MAXMaterial : public MAXWrapper {
public:
    explicit MAXMaterial(Mtl* m);
    static Value* intern(Mtl* m);
    Mtl* to_mtl() override { return mtl; }
    MSTR describe() override;
    Mtl* mtl;
};

class ZYHOST_API MAXControl : public MAXWrapper {
public:
    explicit MAXControl(Control* c);
    static Value* intern(Control* c);
    Control* to_controller() override { return controller; }
    MSTR describe() override;
    Control* controller;
};

class ZYHOST_API Undefined : public Value {
public:
    bool is_undefined() override { return true; }
    INode* to_node() override { return nullptr; }
    Mtl* to_mtl() override { return nullptr; }
    Control* to_controller() override { return nullptr; }
    ReferenceTarget* to_reftarg() override { return nullptr; }
    MSTR describe() override { return _M("undefined"); }
};

class ZYHOST_API Ok : public Value {
public:
    MSTR describe() override { return _M("OK"); }
};

ZYHOST_API extern Undefined undefined;
ZYHOST_API extern Ok ok;

// Script errors: primitives throw them; the script engine reports them.
class ZYHOST_API MAXScriptException : public std::exception {
public:
    explicit MAXScriptException(MSTR message);
    const char* what() const noexcept override { return utf8_.c_str(); }
    const MSTR& Message() const { return message_; }

private:
    MSTR message_;
    std::string utf8_;
};

// Wrong number of arguments: "Wrong number of arguments in call to <fn>: got <got>, expected <wanted>".
class ZYHOST_API ArgCountError : public MAXScriptException {
public:
    ArgCountError(const MCHAR* fn, int wanted, int got);
    MSTR function;
    int wanted, got;
};

class ZYHOST_API ConversionError : public MAXScriptException {
public:
    ConversionError(Value* value, const MCHAR* type);
};

#define check_arg_count(fn, wanted, got) \
    if ((wanted) != (got)) throw ArgCountError(_M(#fn), (wanted), (got))

using PrimitiveFn = Value* (*)(Value** arg_list, int count);

// A global script function; constructing one registers it under its name in the
// primitive registry, destroying it removes it.
class ZYHOST_API Primitive {
public:
    Primitive(const MCHAR* name, PrimitiveFn fn);
    ~Primitive();
    Primitive(const Primitive&) = delete;
    Primitive& operator=(const Primitive&) = delete;
    const MCHAR* Name() const { return name_.c_str(); }
    Value* Apply(Value** args, int count) const { return fn_(args, count); }

private:
    MSTR name_;
    PrimitiveFn fn_;
};

// Defines a primitive function and its registration, the way plug-ins declare them:
//   def_visible_primitive(MyFn, "MyFn");   Value* MyFn_cf(Value** arg_list, int count) { ... }
#define def_visible_primitive(fn, name)                \
    Value* fn##_cf(Value** arg_list, int count);       \
    static Primitive fn##_pf(_M(name), fn##_cf)

class ZYHOST_API PrimitiveRegistry {
public:
    virtual ~PrimitiveRegistry() = default;
    virtual const Primitive* Find(const MSTR& name) = 0;
    virtual int Count() = 0;
    virtual const Primitive* Get(int i) = 0;
};
ZYHOST_API PrimitiveRegistry& GetPrimitiveRegistry();
