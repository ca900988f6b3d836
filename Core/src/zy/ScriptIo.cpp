// The scripts' io library, on the runtime's file layer: io.open with the modes
// "r" and "w", io.lines, io.close, io.type, and file objects (userdata
// "ZY.io") with read, lines, write and close. A file written by a script
// appears only when it is closed; a file that is never closed explicitly is
// closed, and so stored, when the garbage collector (or the state's end)
// collects it, as with Lua's own io.
#include <cstring>
#include <memory>

#include "zy/FileSystem.h"
#include "zy/ScriptInternal.h"

namespace zy::script::detail {

namespace {

constexpr const char* kFileType = "ZY.io";
constexpr size_t kPiece = 4096;

class ScriptFile {
public:
    ScriptFile(std::unique_ptr<fs::File> file, zy::string path, bool writable)
        : file_(std::move(file)), path_(std::move(path)), writable_(writable)
    {
    }

    bool isOpen() const { return file_ != nullptr; }
    bool writable() const { return writable_; }
    const zy::string& path() const { return path_; }

    bool close()
    {
        if (!file_)
            return false;
        const bool stored = file_->close();
        file_.reset();
        return stored;
    }

    bool write(const char* data, size_t size) { return file_->write(data, size) == size; }

    // One line without its line feed; false at the end of the file.
    bool readLine(zy::string& line)
    {
        for (;;) {
            const size_t feed = buffer_.find('\n', pos_);
            if (feed != zy::string::npos) {
                line.assign(buffer_, pos_, feed - pos_);
                pos_ = feed + 1;
                return true;
            }
            if (!fill()) {
                if (pos_ == buffer_.size())
                    return false;
                line.assign(buffer_, pos_);
                pos_ = buffer_.size();
                return true;
            }
        }
    }

    zy::string readAll()
    {
        while (fill()) {
        }
        zy::string rest = buffer_.substr(pos_);
        pos_ = buffer_.size();
        return rest;
    }

    // Up to n bytes; false when nothing is left (for n == 0: at the end).
    bool readBytes(size_t n, zy::string& out)
    {
        while (buffer_.size() - pos_ < (n ? n : 1) && fill()) {
        }
        if (pos_ == buffer_.size())
            return false;
        const size_t take = std::min(n, buffer_.size() - pos_);
        out.assign(buffer_, pos_, take);
        pos_ += take;
        return true;
    }

private:
    // Appends the next piece of the file to the buffer; false at the end.
    bool fill()
    {
        if (!file_ || writable_)
            return false;
        if (pos_ > 0) { // drop what was consumed
            buffer_.erase(0, pos_);
            pos_ = 0;
        }
        char piece[kPiece];
        const size_t got = file_->read(piece, sizeof piece);
        buffer_.append(piece, got);
        return got > 0;
    }

    std::unique_ptr<fs::File> file_;
    zy::string path_;
    bool writable_;
    zy::string buffer_;
    size_t pos_ = 0;
};

// The userdata holds a pointer to the ScriptFile, null once collected: a
// script calling __gc by hand cannot make the object be destroyed twice.
ScriptFile** slotOf(lua_State* L, int index)
{
    return static_cast<ScriptFile**>(luaL_checkudata(L, index, kFileType));
}

ScriptFile* toOpenFile(lua_State* L, int index)
{
    ScriptFile* file = *slotOf(L, index);
    if (!file || !file->isOpen())
        luaL_error(L, "attempt to use a closed file");
    return file;
}

int pushFailure(lua_State* L, const char* message)
{
    lua_pushnil(L);
    lua_pushstring(L, message);
    return 2;
}

// Pushes a new file object; the userdata owns the ScriptFile.
void pushFile(lua_State* L, std::unique_ptr<fs::File> file, const char* path, bool writable)
{
    auto** slot = static_cast<ScriptFile**>(lua_newuserdata(L, sizeof(ScriptFile*)));
    *slot = nullptr; // collectable as it is should the allocation below fail
    luaL_getmetatable(L, kFileType);
    lua_setmetatable(L, -2);
    *slot = new ScriptFile(std::move(file), path, writable);
}

// Opens `path`; pushes the file object, or nil and a message.
int openFile(lua_State* L, const char* path, const char* mode)
{
    const bool writable = std::strcmp(mode, "w") == 0;
    if (!writable && std::strcmp(mode, "r") != 0) {
        lua_pushfstring(L, "io.open(%s): only 'r' and 'w' are supported on VFS", mode);
        return pushFailure(L, lua_tostring(L, -1));
    }
    const std::optional<zy::string> allowed = sandboxedPath(L, path);
    if (!allowed) {
        lua_pushfstring(L, "can't open '%s': sandbox violation", path);
        logSandboxRefusal(L, lua_tostring(L, -1));
        return pushFailure(L, lua_tostring(L, -1));
    }
    auto file = fs::open(*allowed, writable ? fs::Mode::Write : fs::Mode::Read);
    if (!file) {
        lua_pushfstring(L, "can't open \"%s\" for '%s'", path, mode);
        return pushFailure(L, lua_tostring(L, -1));
    }
    pushFile(L, std::move(file), path, writable);
    return 1;
}

int ioOpen(lua_State* L)
{
    const char* path = luaL_checkstring(L, 1);
    const char* mode = luaL_optstring(L, 2, "r");
    return openFile(L, path, mode);
}

int fileClose(lua_State* L)
{
    ScriptFile* file = toOpenFile(L, 1);
    if (file->close()) {
        lua_pushboolean(L, true);
        return 1;
    }
    lua_pushfstring(L, "can't write \"%s\"", file->path().c_str());
    return pushFailure(L, lua_tostring(L, -1));
}

int fileGc(lua_State* L)
{
    ScriptFile** slot = slotOf(L, 1);
    if (ScriptFile* file = *slot) {
        *slot = nullptr;
        file->close();
        delete file;
    }
    return 0;
}

int fileToString(lua_State* L)
{
    ScriptFile* file = *slotOf(L, 1);
    if (file && file->isOpen())
        lua_pushfstring(L, "file (%p)", static_cast<void*>(file));
    else
        lua_pushliteral(L, "file (closed)");
    return 1;
}

// Reads by the formats "*l" (a line, the default), "*a" (the rest) and a
// byte count; pushes one value per format, stopping after the first nil.
int readFormats(lua_State* L, ScriptFile* file, int first)
{
    const int last = lua_gettop(L);
    if (first > last) {
        lua_pushliteral(L, "*l");
        return readFormats(L, file, last + 1);
    }
    int pushed = 0;
    for (int i = first; i <= last; ++i) {
        zy::string value;
        bool ok = true;
        if (lua_type(L, i) == LUA_TNUMBER) {
            const lua_Integer count = lua_tointeger(L, i);
            ok = file->readBytes(count > 0 ? static_cast<size_t>(count) : 0, value);
        } else {
            const char* format = luaL_checkstring(L, i);
            if (format[0] == '*')
                ++format;
            switch (format[0]) {
            case 'l': ok = file->readLine(value); break;
            case 'a': value = file->readAll(); break;
            case 'n': return luaL_error(L, "io.read('*n') is not supported");
            default: return luaL_argerror(L, i, "invalid format");
            }
        }
        if (!ok) {
            lua_pushnil(L);
            return pushed + 1;
        }
        lua_pushlstring(L, value.data(), value.size());
        ++pushed;
    }
    return pushed;
}

int fileRead(lua_State* L)
{
    ScriptFile* file = toOpenFile(L, 1);
    if (file->writable())
        return pushFailure(L, "file is not open for reading");
    return readFormats(L, file, 2);
}

int fileWrite(lua_State* L)
{
    ScriptFile* file = toOpenFile(L, 1);
    if (!file->writable())
        return pushFailure(L, "file is not open for writing");
    const int last = lua_gettop(L);
    bool ok = true;
    for (int i = 2; i <= last; ++i) {
        size_t length = 0;
        const char* data = luaL_checklstring(L, i, &length); // numbers convert as in Lua
        ok = ok && file->write(data, length);
    }
    if (!ok) {
        lua_pushfstring(L, "can't write \"%s\"", file->path().c_str());
        return pushFailure(L, lua_tostring(L, -1));
    }
    lua_pushboolean(L, true);
    return 1;
}

// Iterator of lines; upvalue 1 is the file, upvalue 2 tells to close it at the end.
int nextLine(lua_State* L)
{
    ScriptFile* file = *static_cast<ScriptFile**>(lua_touserdata(L, lua_upvalueindex(1)));
    if (!file || !file->isOpen())
        return luaL_error(L, "file is already closed");
    zy::string line;
    if (file->readLine(line)) {
        lua_pushlstring(L, line.data(), line.size());
        return 1;
    }
    if (lua_toboolean(L, lua_upvalueindex(2)))
        file->close();
    return 0;
}

void pushLineIterator(lua_State* L, int fileIndex, bool closeAtEnd)
{
    lua_pushvalue(L, fileIndex);
    lua_pushboolean(L, closeAtEnd);
    lua_pushcclosure(L, guarded<nextLine>, 2);
}

int fileLines(lua_State* L)
{
    ScriptFile* file = toOpenFile(L, 1);
    if (file->writable())
        return luaL_error(L, "file is not open for reading");
    pushLineIterator(L, 1, false);
    return 1;
}

int ioLines(lua_State* L)
{
    const char* path = luaL_checkstring(L, 1);
    if (openFile(L, path, "r") != 1)
        return luaL_error(L, "%s", lua_tostring(L, -1));
    pushLineIterator(L, lua_gettop(L), true);
    return 1;
}

int ioClose(lua_State* L)
{
    return fileClose(L);
}

int ioType(lua_State* L)
{
    luaL_checkany(L, 1);
    void* data = lua_touserdata(L, 1);
    luaL_getmetatable(L, kFileType);
    if (!data || !lua_getmetatable(L, 1) || !lua_rawequal(L, -2, -1))
        lua_pushnil(L);
    else if (ScriptFile* file = *static_cast<ScriptFile**>(data); file && file->isOpen())
        lua_pushliteral(L, "file");
    else
        lua_pushliteral(L, "closed file");
    return 1;
}

const luaL_Reg kFileMethods[] = {
    {"close", guarded<fileClose>},
    {"read", guarded<fileRead>},
    {"write", guarded<fileWrite>},
    {"lines", guarded<fileLines>},
    {nullptr, nullptr},
};

const luaL_Reg kIoFunctions[] = {
    {"open", guarded<ioOpen>},
    {"lines", guarded<ioLines>},
    {"close", guarded<ioClose>},
    {"type", guarded<ioType>},
    {nullptr, nullptr},
};

} // namespace

int openIo(lua_State* L)
{
    luaL_newmetatable(L, kFileType);
    lua_newtable(L);
    luaL_register(L, nullptr, kFileMethods);
    lua_setfield(L, -2, "__index");
    lua_pushcfunction(L, guarded<fileGc>);
    lua_setfield(L, -2, "__gc");
    lua_pushcfunction(L, guarded<fileToString>);
    lua_setfield(L, -2, "__tostring");
    lua_pop(L, 1);

    const char* name = luaL_optstring(L, 1, "io");
    luaL_register(L, name, kIoFunctions);
    return 1;
}

} // namespace zy::script::detail
