#pragma once
// Loads plug-in libraries (*.so) at run time the way the host loads them:
//   1. dlopen, then ZyLibAttach(module) when exported (the platform's library-load
//      notification: the plug-in keeps its module handle, starts its services);
//   2. LibVersion and LibDescription (both required), LibInit when exported (a
//      zero result refuses the library);
//   3. LibNumberClasses and LibClassDesc(i) when exported: each descriptor joins
//      the class directory (by super class and class id).
// Unloading runs in reverse: classes leave the directory, LibShutdown and
// ZyLibDetach are called when exported, then dlclose.
#include <string>
#include <vector>

#include "maxsdk/ClassDesc.h"

namespace zyhost {

struct LoadedPlugin {
    std::string path;
    std::string description;
    ULONG version = 0;
    std::vector<ClassDesc*> classes;
    void* handle = nullptr;
};

class PluginLoader {
public:
    explicit PluginLoader(ClassDirectory& directory) : directory_(directory) {}
    ~PluginLoader() { UnloadAll(); }
    PluginLoader(const PluginLoader&) = delete;
    PluginLoader& operator=(const PluginLoader&) = delete;

    // Loads one library; false (and a message in Errors) when it is no plug-in or
    // refuses to start. A class whose ids are already known is skipped with a message.
    bool Load(const std::string& path);
    // Loads every *.so of the directory in name order; a missing directory loads
    // nothing. Returns the number of libraries loaded.
    int LoadDirectory(const std::string& dir);
    void UnloadAll();

    const std::vector<LoadedPlugin>& Plugins() const { return plugins_; }
    const std::vector<std::string>& Errors() const { return errors_; }

private:
    void Unload(LoadedPlugin& p);
    ClassDirectory& directory_;
    std::vector<LoadedPlugin> plugins_;
    std::vector<std::string> errors_;
};

// Exported names of the attach and detach steps.
inline constexpr const char* kAttachEntry = "ZyLibAttach";
inline constexpr const char* kDetachEntry = "ZyLibDetach";
using LibAttachFn = void (*)(HINSTANCE module);
using LibDetachFn = void (*)();

} // namespace zyhost
