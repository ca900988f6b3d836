#include "zyhost/PluginLoader.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>

namespace zyhost {

namespace {

template <class Fn>
Fn Entry(void* handle, const char* name) {
    return reinterpret_cast<Fn>(dlsym(handle, name));
}

std::string DlError() {
    const char* e = dlerror();
    return e ? e : "unknown error";
}

} // namespace

bool PluginLoader::Load(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        errors_.push_back(path + ": cannot load: " + DlError());
        return false;
    }
    auto description = Entry<LibDescriptionFn>(handle, "LibDescription");
    auto version = Entry<LibVersionFn>(handle, "LibVersion");
    if (!description || !version) {
        errors_.push_back(path + ": not a plug-in (LibDescription or LibVersion is missing)");
        dlclose(handle);
        return false;
    }
    LoadedPlugin p;
    p.path = path;
    p.handle = handle;
    if (auto attach = Entry<LibAttachFn>(handle, kAttachEntry)) attach(reinterpret_cast<HINSTANCE>(handle));
    p.version = version();
    const MCHAR* text = description();
    p.description = text ? ToUTF8(text) : std::string();
    if (auto init = Entry<LibInitFn>(handle, "LibInit"); init && !init()) {
        errors_.push_back(path + ": LibInit refused to start the plug-in");
        Unload(p);
        return false;
    }
    auto count = Entry<LibNumberClassesFn>(handle, "LibNumberClasses");
    auto classDesc = Entry<LibClassDescFn>(handle, "LibClassDesc");
    if (count && classDesc) {
        for (int i = 0, n = count(); i < n; ++i) {
            ClassDesc* cd = classDesc(i);
            if (!cd) continue;
            if (!directory_.AddClass(cd)) {
                errors_.push_back(path + ": class \"" + ToUTF8(cd->ClassName() ? cd->ClassName() : _M("")) +
                                  "\" is already known; skipped");
                continue;
            }
            p.classes.push_back(cd);
        }
    }
    plugins_.push_back(std::move(p));
    return true;
}

int PluginLoader::LoadDirectory(const std::string& dir) {
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) return 0;
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
        if (entry.is_regular_file(ec) && entry.path().extension() == ".so") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    int loaded = 0;
    for (const std::string& f : files) loaded += Load(f) ? 1 : 0;
    return loaded;
}

void PluginLoader::Unload(LoadedPlugin& p) {
    for (ClassDesc* cd : p.classes) directory_.RemoveClass(cd);
    p.classes.clear();
    if (auto shutdown = Entry<LibShutdownFn>(p.handle, "LibShutdown")) shutdown();
    if (auto detach = Entry<LibDetachFn>(p.handle, kDetachEntry)) detach();
    dlclose(p.handle);
    p.handle = nullptr;
}

void PluginLoader::UnloadAll() {
    // Last loaded first, as a host unloads.
    for (auto it = plugins_.rbegin(); it != plugins_.rend(); ++it) Unload(*it);
    plugins_.clear();
}

} // namespace zyhost
