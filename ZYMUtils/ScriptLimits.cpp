#include "ScriptLimits.h"

namespace lu {

namespace {
// The count hook fires every this many VM instructions.
constexpr int kHookInterval = 1000;
} // namespace

ScriptLimits::ScriptLimits(lua_State* L, size_t memoryBytes)
    : L_(L), maxBytes_(memoryBytes)
{
    inner_ = lua_getallocf(L, &innerUd_);
    inUse_ = size_t(lua_gc(L, LUA_GCCOUNT, 0)) * 1024 + size_t(lua_gc(L, LUA_GCCOUNTB, 0));
    lua_setallocf(L, &ScriptLimits::allocate, this);
}

ScriptLimits::~ScriptLimits()
{
    lua_sethook(L_, nullptr, 0, 0);
    lua_setallocf(L_, inner_, innerUd_);
}

void* ScriptLimits::allocate(void* ud, void* ptr, size_t osize, size_t nsize)
{
    auto* self = static_cast<ScriptLimits*>(ud);
    // Only growth inside a bounded run is refused; Lua relies on shrinking
    // and freeing to succeed, and on its own bookkeeping between runs.
    if (self->running_ && nsize > osize && self->inUse_ + (nsize - osize) > self->maxBytes_)
        return nullptr;
    void* result = self->inner_(self->innerUd_, ptr, osize, nsize);
    if (result || nsize == 0)
        self->inUse_ = self->inUse_ - osize + nsize;
    return result;
}

void ScriptLimits::countHook(lua_State* L, lua_Debug*)
{
    void* ud = nullptr;
    if (lua_getallocf(L, &ud) != &ScriptLimits::allocate)
        return;
    auto* self = static_cast<ScriptLimits*>(ud);
    if (!self->running_)
        return;
    self->instructionsLeft_ -= kHookInterval;
    // Once the budget is spent the hook fires on every instruction and raises
    // each time, so a pcall in the script cannot swallow the stop: the first
    // instruction after it raises again, one level further out.
    if (self->instructionsLeft_ <= 0) {
        lua_sethook(L, &ScriptLimits::countHook, LUA_MASKCOUNT, 1);
        lua_pushfstring(L, "evaluation stopped after %d instructions", int(self->instructionBudget_));
        lua_error(L);
    }
}

ScriptLimits::Run::Run(ScriptLimits& limits, long instructions) : limits_(limits)
{
    limits_.instructionBudget_ = instructions;
    limits_.instructionsLeft_ = instructions;
    limits_.running_ = true;
    lua_sethook(limits_.L_, &ScriptLimits::countHook, LUA_MASKCOUNT, kHookInterval);
}

ScriptLimits::Run::~Run()
{
    lua_sethook(limits_.L_, nullptr, 0, 0);
    limits_.running_ = false;
}

} // namespace lu
