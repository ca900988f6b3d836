-- Value functions of the user-defined property language.
--
-- Every function returns a table whose array part is its own name followed by
-- its arguments, so that vec2(1, 2) is {"vec2", 1, 2}. The exporter flattens
-- nested tables in place: animation_vec2(0, 1, vec2(1, 2)) reads as
-- {"animation_vec2", 0, 1, "vec2", 1, 2}. Checking the arguments is the
-- exporter's job; these functions only record them.

local function tagged(name)
    return function(...)
        return { name, ... }
    end
end

-- Plain values.
float = tagged("float")
uint = tagged("uint")
-- "string" is also the name of Lua's string library: make the library table
-- callable, so that string("text") is a value and string.format still works.
setmetatable(string, {
    __call = function(_, ...)
        return { "string", ... }
    end,
})
vec2 = tagged("vec2")
vec3 = tagged("vec3")
vec4 = tagged("vec4")

-- Argument-driven values.
argument = tagged("argument")
animation = tagged("animation")
anim = tagged("anim")
animation_vec2 = tagged("animation_vec2")
animation_vec3 = tagged("animation_vec3")
animation_vec4 = tagged("animation_vec4")

-- Float lists.
array = tagged("array")
