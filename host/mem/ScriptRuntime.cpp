// Script values, errors and the primitive registry.
#include "mem/ScriptRuntime.h"

#include <map>
#include <new>
#include <unordered_set>

#include "maxsdk/Control.h"
#include "maxsdk/INode.h"
#include "maxsdk/Mtl.h"

namespace {

class Registry : public PrimitiveRegistry {
public:
    const Primitive* Find(const MSTR& name) override {
        auto it = byName_.find(name);
        return it == byName_.end() ? nullptr : it->second;
    }
    int Count() override { return int(order_.size()); }
    const Primitive* Get(int i) override { return i >= 0 && i < Count() ? order_[std::size_t(i)] : nullptr; }
    void Add(const Primitive* p) {
        if (byName_.count(p->Name())) return; // the first registration of a name stands
        byName_[p->Name()] = p;
        order_.push_back(p);
    }
    void Remove(const Primitive* p) {
        auto it = byName_.find(p->Name());
        if (it != byName_.end() && it->second == p) byName_.erase(it);
        std::erase(order_, p);
    }

private:
    std::map<MSTR, const Primitive*> byName_;
    std::vector<const Primitive*> order_;
};

// Everything of the script runtime, created on first use.
struct Runtime {
    Registry registry;
    std::unordered_set<void*> heap;
};

// Never destroyed: plug-ins' static primitives unregister at exit in any order.
Runtime& TheRuntime() {
    static Runtime* runtime = new Runtime();
    return *runtime;
}

MSTR TypeName(Value* v) {
    if (dynamic_cast<Integer*>(v)) return _M("Integer");
    if (dynamic_cast<Float*>(v)) return _M("Float");
    if (dynamic_cast<String*>(v)) return _M("String");
    if (dynamic_cast<MAXNode*>(v)) return _M("Node");
    if (dynamic_cast<MAXMaterial*>(v)) return _M("Material");
    if (dynamic_cast<MAXControl*>(v)) return _M("Controller");
    return _M("Value");
}

} // namespace

Undefined undefined;
Ok ok;

void* Value::operator new(std::size_t size) {
    void* p = ::operator new(size);
    TheRuntime().heap.insert(p);
    return p;
}

void Value::operator delete(void* p) {
    TheRuntime().heap.erase(p);
    ::operator delete(p);
}

int Value::to_int() { throw ConversionError(this, _M("Integer")); }
float Value::to_float() { throw ConversionError(this, _M("Float")); }
const MCHAR* Value::to_string() { throw ConversionError(this, _M("String")); }
INode* Value::to_node() { throw ConversionError(this, _M("Node")); }
Mtl* Value::to_mtl() { throw ConversionError(this, _M("Material")); }
Control* Value::to_controller() { throw ConversionError(this, _M("Controller")); }
ReferenceTarget* Value::to_reftarg() { throw ConversionError(this, _M("MAXWrapper")); }

Value* Integer::intern(int v) { return new Integer(v); }
MSTR Integer::describe() { return std::to_wstring(value); }
Value* Float::intern(float v) { return new Float(v); }
MSTR Float::describe() { return std::to_wstring(value); }
MSTR String::describe() { return _M("\"") + text + _M("\""); }

MAXNode::MAXNode(INode* n) : MAXWrapper(n), node(n) {}
Value* MAXNode::intern(INode* n) { return n ? static_cast<Value*>(new MAXNode(n)) : &undefined; }
MSTR MAXNode::describe() { return _M("$") + MSTR(node ? node->GetName() : _M("<deleted>")); }

MAXMaterial::MAXMaterial(Mtl* m) : MAXWrapper(m), mtl(m) {}
Value* MAXMaterial::intern(Mtl* m) { return m ? static_cast<Value*>(new MAXMaterial(m)) : &undefined; }
MSTR MAXMaterial::describe() { return mtl ? mtl->GetName() : MSTR(_M("<material>")); }

MAXControl::MAXControl(Control* c) : MAXWrapper(c), controller(c) {}
Value* MAXControl::intern(Control* c) { return c ? static_cast<Value*>(new MAXControl(c)) : &undefined; }
MSTR MAXControl::describe() {
    MSTR name;
    if (controller) controller->GetClassName(name);
    return _M("Controller:") + name;
}

MAXScriptException::MAXScriptException(MSTR message) : message_(std::move(message)), utf8_(ToUTF8(message_)) {}

ArgCountError::ArgCountError(const MCHAR* fn, int w, int g)
    : MAXScriptException(_M("Wrong number of arguments in call to ") + MSTR(fn ? fn : _M("")) + _M(": got ") +
                         std::to_wstring(g) + _M(", expected ") + std::to_wstring(w)),
      function(fn ? fn : _M("")), wanted(w), got(g) {}

ConversionError::ConversionError(Value* value, const MCHAR* type)
    : MAXScriptException(_M("Unable to convert: ") + (value ? value->describe() : MSTR(_M("undefined"))) +
                         _M(" (") + (value ? TypeName(value) : MSTR(_M("Value"))) + _M(") to type: ") + type) {}

Primitive::Primitive(const MCHAR* name, PrimitiveFn fn) : name_(name ? name : _M("")), fn_(fn) {
    TheRuntime().registry.Add(this);
}

Primitive::~Primitive() { TheRuntime().registry.Remove(this); }

PrimitiveRegistry& GetPrimitiveRegistry() { return TheRuntime().registry; }

Value* CallPrimitive(const MSTR& name, std::vector<Value*> args) {
    const Primitive* p = TheRuntime().registry.Find(name);
    if (!p) throw MAXScriptException(_M("Type error: Call needs function or class, got: undefined (") + name + _M(")"));
    return p->Apply(args.data(), int(args.size()));
}

void CollectScriptGarbage() {
    std::unordered_set<void*> heap;
    heap.swap(TheRuntime().heap);
    for (void* p : heap) delete static_cast<Value*>(p);
}

std::size_t LiveScriptValues() { return TheRuntime().heap.size(); }
