#include "zyhost/ScriptHost.h"

#include <lua.hpp>

#include <cmath>
#include <limits>
#include <optional>
#include <variant>
#include <vector>

#include "maxsdk/Max.h"
#include "mem/ScriptRuntime.h"

namespace zyhost {

namespace {

constexpr const char* kObjectMeta = "zyhost.object";
constexpr const char* kHostKey = "zyhost.host";

enum class Kind { Node, Material, Controller };

struct ObjectRef {
    ReferenceTarget* target;
    Kind kind;
};

// What a script variable holds: a reference to the scene object that the host
// clears when the object is deleted, so a script keeping a node past its
// deletion sees a deleted object instead of freed memory. It never keeps the
// object alive.
class ObjectWatch : public ReferenceMaker {
public:
    explicit ObjectWatch(ReferenceTarget* target) { ReplaceReference(0, target, FALSE); }
    ~ObjectWatch() override { ReplaceReference(0, nullptr, FALSE); }
    ReferenceTarget* Target() const { return target_; }

    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int i) override { return i == 0 ? target_ : nullptr; }

protected:
    void SetReference(int i, RefTargetHandle rtarg) override {
        if (i == 0) target_ = rtarg;
    }

private:
    ReferenceTarget* target_ = nullptr;
};

// The userdata of a scene object in Lua; the watch is deleted with it.
struct ScriptObject {
    ObjectWatch* watch;
    Kind kind;
    ObjectRef Ref() const { return ObjectRef{watch->Target(), kind}; }
};

struct Nil {};
// A script value on the C++ side, free of both Lua and the host's value heap.
using ScriptValue = std::variant<Nil, bool, double, std::string, ObjectRef>;

Interface& HostOf(lua_State* L) {
    lua_getfield(L, LUA_REGISTRYINDEX, kHostKey);
    auto* host = static_cast<Interface*>(lua_touserdata(L, -1));
    lua_pop(L, 1);
    return *host;
}

void PushObject(lua_State* L, ReferenceTarget* t, Kind kind) {
    if (!t) {
        lua_pushnil(L);
        return;
    }
    auto* ud = static_cast<ScriptObject*>(lua_newuserdata(L, sizeof(ScriptObject)));
    ud->watch = nullptr;
    luaL_getmetatable(L, kObjectMeta);
    lua_setmetatable(L, -2);
    // Set after the metatable, so __gc never meets a half-made object.
    ud->watch = new ObjectWatch(t);
    ud->kind = kind;
}

// The userdata at index i, or null when it is no scene object of ours.
ScriptObject* ToScriptObject(lua_State* L, int i) {
    void* p = lua_touserdata(L, i);
    if (!p || !lua_getmetatable(L, i)) return nullptr;
    luaL_getmetatable(L, kObjectMeta);
    bool ours = lua_rawequal(L, -1, -2) != 0;
    lua_pop(L, 2);
    auto* o = static_cast<ScriptObject*>(p);
    return ours && o->watch ? o : nullptr;
}

const char* KindName(Kind kind) {
    switch (kind) {
    case Kind::Node: return "node";
    case Kind::Material: return "material";
    default: return "controller";
    }
}

// The live scene object at index i; a deleted one stops the script.
std::optional<ObjectRef> ToObject(lua_State* L, int i) {
    ScriptObject* o = ToScriptObject(L, i);
    if (!o) return std::nullopt;
    if (!o->watch->Target()) luaL_error(L, "the %s was deleted", KindName(o->kind));
    return o->Ref();
}

ObjectRef CheckObject(lua_State* L, int i, Kind kind, const char* what) {
    std::optional<ObjectRef> o = ToObject(L, i);
    if (!o || o->kind != kind) luaL_typerror(L, i, what);
    return *o;
}

int ObjectCollect(lua_State* L) {
    auto* o = static_cast<ScriptObject*>(lua_touserdata(L, 1));
    delete o->watch;
    o->watch = nullptr;
    return 0;
}

// ---- conversions ----

ScriptValue FromLua(lua_State* L, int i, const char* function) {
    switch (lua_type(L, i)) {
    case LUA_TNIL: return Nil{};
    case LUA_TBOOLEAN: return lua_toboolean(L, i) != 0;
    case LUA_TNUMBER: return double(lua_tonumber(L, i));
    case LUA_TSTRING: {
        std::size_t n = 0;
        const char* s = lua_tolstring(L, i, &n);
        return std::string(s, n);
    }
    default:
        if (std::optional<ObjectRef> o = ToObject(L, i)) return *o;
        luaL_error(L, "%s: argument %d: a %s cannot be passed to the host", function, i, luaL_typename(L, i));
        return Nil{};
    }
}

Value* ToHost(const ScriptValue& v) {
    if (std::holds_alternative<bool>(v)) return Integer::intern(std::get<bool>(v) ? 1 : 0);
    if (const double* d = std::get_if<double>(&v)) {
        if (std::floor(*d) == *d && *d >= double(std::numeric_limits<int>::min()) && *d <= double(std::numeric_limits<int>::max()))
            return Integer::intern(int(*d));
        return Float::intern(float(*d));
    }
    if (const std::string* s = std::get_if<std::string>(&v)) return new String(FromUTF8(*s));
    if (const ObjectRef* o = std::get_if<ObjectRef>(&v)) {
        switch (o->kind) {
        case Kind::Node: return MAXNode::intern(static_cast<INode*>(o->target));
        case Kind::Material: return MAXMaterial::intern(static_cast<Mtl*>(o->target));
        case Kind::Controller: return MAXControl::intern(static_cast<Control*>(o->target));
        }
    }
    return &undefined;
}

ScriptValue FromHost(Value* v) {
    if (!v || v->is_undefined()) return Nil{};
    if (auto* i = dynamic_cast<Integer*>(v)) return double(i->value);
    if (auto* f = dynamic_cast<Float*>(v)) return double(f->value);
    if (auto* s = dynamic_cast<String*>(v)) return ToUTF8(s->text);
    if (auto* n = dynamic_cast<MAXNode*>(v)) return n->node ? ScriptValue(ObjectRef{n->node, Kind::Node}) : Nil{};
    if (auto* m = dynamic_cast<MAXMaterial*>(v)) return m->mtl ? ScriptValue(ObjectRef{m->mtl, Kind::Material}) : Nil{};
    if (auto* c = dynamic_cast<MAXControl*>(v))
        return c->controller ? ScriptValue(ObjectRef{c->controller, Kind::Controller}) : Nil{};
    if (dynamic_cast<Ok*>(v)) return true;
    return ToUTF8(v->describe());
}

void Push(lua_State* L, const ScriptValue& v) {
    if (const bool* b = std::get_if<bool>(&v)) lua_pushboolean(L, *b);
    else if (const double* d = std::get_if<double>(&v)) lua_pushnumber(L, *d);
    else if (const std::string* s = std::get_if<std::string>(&v)) lua_pushlstring(L, s->data(), s->size());
    else if (const ObjectRef* o = std::get_if<ObjectRef>(&v)) PushObject(L, o->target, o->kind);
    else lua_pushnil(L);
}

// ---- primitives ----

// Calls the primitive named by the closure's upvalue. Host exceptions are caught
// here and raised as Lua errors only after every C++ frame that threw is gone.
int CallPrimitiveFromLua(lua_State* L) {
    const char* name = lua_tostring(L, lua_upvalueindex(1));
    std::vector<ScriptValue> args;
    for (int i = 1, n = lua_gettop(L); i <= n; ++i) args.push_back(FromLua(L, i, name));
    ScriptValue result;
    std::string error;
    try {
        std::vector<Value*> values;
        for (const ScriptValue& a : args) values.push_back(ToHost(a));
        result = FromHost(CallPrimitive(FromUTF8(name), std::move(values)));
    } catch (const std::exception& e) {
        error = e.what();
    } catch (...) {
        error = std::string(name) + ": the primitive failed";
    }
    CollectScriptGarbage();
    if (!error.empty()) return luaL_error(L, "%s", error.c_str());
    Push(L, result);
    return 1;
}

// ---- host functions ----

Mtl* FindMaterial(Mtl* m, const MSTR& name) {
    if (!m) return nullptr;
    if (m->GetName() == name) return m;
    for (int i = 0; i < m->NumSubMtls(); ++i)
        if (Mtl* found = FindMaterial(m->GetSubMtl(i), name)) return found;
    return nullptr;
}

Mtl* FindNodeMaterial(INode* node, const MSTR& name) {
    if (Mtl* found = FindMaterial(node->GetMtl(), name)) return found;
    for (int i = 0; i < node->NumberOfChildren(); ++i)
        if (Mtl* found = FindNodeMaterial(node->GetChildNode(i), name)) return found;
    return nullptr;
}

int GetNodeByName(lua_State* L) {
    MSTR name = FromUTF8(luaL_checkstring(L, 1));
    PushObject(L, HostOf(L).GetINodeByName(name.c_str()), Kind::Node);
    return 1;
}

// The scene material library first, then the materials of the nodes.
int GetMaterialByName(lua_State* L) {
    MSTR name = FromUTF8(luaL_checkstring(L, 1));
    Interface& host = HostOf(L);
    Mtl* found = nullptr;
    MtlBaseLib& lib = host.GetSceneMtls();
    for (int i = 0; i < lib.Count() && !found; ++i)
        if (MtlBase* m = lib[i]; m && m->SuperClassID() == MATERIAL_CLASS_ID) found = FindMaterial(static_cast<Mtl*>(m), name);
    if (!found) found = FindNodeMaterial(host.GetRootNode(), name);
    PushObject(L, found, Kind::Material);
    return 1;
}

const char* const kParts[] = {"transform", "position", "rotation", "scale", "visibility", nullptr};

int GetController(lua_State* L) {
    auto* node = static_cast<INode*>(CheckObject(L, 1, Kind::Node, "node").target);
    int part = luaL_checkoption(L, 2, nullptr, kParts);
    Control* tm = node->GetTMController();
    Control* c = part == 0   ? tm
                 : part == 1 ? (tm ? tm->GetPositionController() : nullptr)
                 : part == 2 ? (tm ? tm->GetRotationController() : nullptr)
                 : part == 3 ? (tm ? tm->GetScaleController() : nullptr)
                             : node->GetVisController();
    PushObject(L, c, Kind::Controller);
    return 1;
}

int SetController(lua_State* L) {
    auto* node = static_cast<INode*>(CheckObject(L, 1, Kind::Node, "node").target);
    int part = luaL_checkoption(L, 2, nullptr, kParts);
    auto* c = static_cast<Control*>(CheckObject(L, 3, Kind::Controller, "controller").target);
    Control* tm = node->GetTMController();
    BOOL ok = FALSE;
    switch (part) {
    case 0: ok = node->SetTMController(c); break;
    case 1: ok = tm && tm->SetPositionController(c); break;
    case 2: ok = tm && tm->SetRotationController(c); break;
    case 3: ok = tm && tm->SetScaleController(c); break;
    default:
        if (c->SuperClassID() == CTRL_FLOAT_CLASS_ID) {
            node->SetVisController(c);
            ok = TRUE;
        }
    }
    lua_pushboolean(L, ok);
    return 1;
}

// ---- object metatable ----

std::string NameOf(const ObjectRef& o) {
    switch (o.kind) {
    case Kind::Node: return ToUTF8(static_cast<INode*>(o.target)->GetName());
    case Kind::Material: return ToUTF8(static_cast<Mtl*>(o.target)->GetName());
    default: return {};
    }
}

int ObjectIndex(lua_State* L) {
    ObjectRef o = *ToObject(L, 1);
    std::string key = luaL_checkstring(L, 2);
    if (key == "name" && o.kind != Kind::Controller) {
        std::string name = NameOf(o);
        lua_pushlstring(L, name.data(), name.size());
    } else if (key == "class") {
        MSTR name;
        o.target->GetClassName(name);
        lua_pushstring(L, ToUTF8(name).c_str());
    } else if (o.kind == Kind::Node && key == "parent") {
        INode* p = static_cast<INode*>(o.target)->GetParentNode();
        PushObject(L, p && !p->IsRootNode() ? p : nullptr, Kind::Node);
    } else if (o.kind == Kind::Node && key == "material") {
        PushObject(L, static_cast<INode*>(o.target)->GetMtl(), Kind::Material);
    } else if (o.kind == Kind::Node && key == "userProps") {
        MSTR text;
        static_cast<INode*>(o.target)->GetUserPropBuffer(text);
        lua_pushstring(L, ToUTF8(text).c_str());
    } else {
        lua_pushnil(L);
    }
    return 1;
}

int ObjectNewIndex(lua_State* L) {
    ObjectRef o = *ToObject(L, 1);
    std::string key = luaL_checkstring(L, 2);
    if (o.kind == Kind::Node && key == "userProps") {
        static_cast<INode*>(o.target)->SetUserPropBuffer(FromUTF8(luaL_checkstring(L, 3)));
        return 0;
    }
    return luaL_error(L, "the field \"%s\" cannot be set", key.c_str());
}

int ObjectToString(lua_State* L) {
    ScriptObject* so = ToScriptObject(L, 1);
    if (!so->watch->Target()) {
        lua_pushfstring(L, "<deleted %s>", KindName(so->kind));
        return 1;
    }
    ObjectRef o = so->Ref();
    std::string text;
    switch (o.kind) {
    case Kind::Node: text = "$" + NameOf(o); break;
    case Kind::Material: text = "material:" + NameOf(o); break;
    case Kind::Controller: {
        MSTR name;
        o.target->GetClassName(name);
        text = "controller:" + ToUTF8(name);
    }
    }
    lua_pushstring(L, text.c_str());
    return 1;
}

int ObjectEquals(lua_State* L) {
    ScriptObject* a = ToScriptObject(L, 1);
    ScriptObject* b = ToScriptObject(L, 2);
    lua_pushboolean(L, a && b && (a == b || (a->watch->Target() && a->watch->Target() == b->watch->Target())));
    return 1;
}

} // namespace

ScriptHost::ScriptHost(Interface& host) : L_(luaL_newstate()) {
    luaL_openlibs(L_);
    lua_pushlightuserdata(L_, &host);
    lua_setfield(L_, LUA_REGISTRYINDEX, kHostKey);

    luaL_newmetatable(L_, kObjectMeta);
    const luaL_Reg meta[] = {{"__index", ObjectIndex},
                             {"__newindex", ObjectNewIndex},
                             {"__tostring", ObjectToString},
                             {"__eq", ObjectEquals},
                             {"__gc", ObjectCollect},
                             {nullptr, nullptr}};
    luaL_register(L_, nullptr, meta);
    lua_pop(L_, 1);

    PrimitiveRegistry& registry = GetPrimitiveRegistry();
    for (int i = 0; i < registry.Count(); ++i) {
        std::string name = ToUTF8(registry.Get(i)->Name());
        lua_pushstring(L_, name.c_str());
        lua_pushcclosure(L_, CallPrimitiveFromLua, 1);
        lua_setglobal(L_, name.c_str());
    }
    lua_register(L_, "getNodeByName", GetNodeByName);
    lua_register(L_, "getMaterialByName", GetMaterialByName);
    lua_register(L_, "getController", GetController);
    lua_register(L_, "setController", SetController);
}

ScriptHost::~ScriptHost() {
    lua_close(L_);
    CollectScriptGarbage();
}

std::string ScriptHost::RunFile(const std::string& path) {
    if (luaL_loadfile(L_, path.c_str()) != 0 || lua_pcall(L_, 0, 0, 0) != 0) {
        std::string message = lua_tostring(L_, -1) ? lua_tostring(L_, -1) : "unknown script error";
        lua_pop(L_, 1);
        return message;
    }
    return {};
}

std::string ScriptHost::RunString(const std::string& code, const std::string& chunkName) {
    if (luaL_loadbuffer(L_, code.data(), code.size(), chunkName.c_str()) != 0 || lua_pcall(L_, 0, 0, 0) != 0) {
        std::string message = lua_tostring(L_, -1) ? lua_tostring(L_, -1) : "unknown script error";
        lua_pop(L_, 1);
        return message;
    }
    return {};
}

} // namespace zyhost
