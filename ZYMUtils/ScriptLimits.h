#pragma once
// Bounds on what untrusted property text may cost: a memory ceiling for the
// Lua state and an instruction budget for each evaluation, so that text such
// as `while true do end` or `("x"):rep(2^30)` ends in a Lua error instead of
// hanging or exhausting the host.
#include <cstddef>

#include <lua.hpp>

namespace lu {

class ScriptLimits {
public:
    static constexpr size_t kDefaultMemoryBytes = size_t(128) << 20;
    static constexpr long kDefaultInstructions = 20'000'000;

    // Wraps the state's allocator; the state must be closed or the limits
    // destroyed (which restores the allocator) before the other goes away.
    explicit ScriptLimits(lua_State* L, size_t memoryBytes = kDefaultMemoryBytes);
    ~ScriptLimits();
    ScriptLimits(const ScriptLimits&) = delete;
    ScriptLimits& operator=(const ScriptLimits&) = delete;

    // One bounded run: while it lives, Lua code on the state (coroutines
    // included) may execute about `instructions` VM instructions and the state
    // may not grow beyond the memory ceiling. Exceeding either raises a Lua
    // error inside the running code.
    class Run {
    public:
        Run(ScriptLimits& limits, long instructions = kDefaultInstructions);
        ~Run();
        Run(const Run&) = delete;
        Run& operator=(const Run&) = delete;

    private:
        ScriptLimits& limits_;
    };

private:
    static void* allocate(void* ud, void* ptr, size_t osize, size_t nsize);
    static void countHook(lua_State* L, lua_Debug* ar);

    lua_State* L_;
    lua_Alloc inner_;
    void* innerUd_;
    size_t inUse_;
    size_t maxBytes_;
    long instructionsLeft_ = 0;
    long instructionBudget_ = 0;
    bool running_ = false;
};

} // namespace lu
