#include "zy/Settings.h"

#include <mutex>

namespace zy::settings {

namespace {

struct Values {
    std::mutex mutex;
    zy::string currentDirectory = "./";
    zy::string writeDirectory = "./";
    zy::string tempDirectory = "./Temp/";
    zy::string logDirectory;
    zy::string hostVersion = "0.0.0.0";
};

Values& values()
{
    static Values v;
    return v;
}

zy::string get(zy::string Values::*field)
{
    Values& v = values();
    std::lock_guard lock(v.mutex);
    return v.*field;
}

void set(zy::string Values::*field, const zy::string& value)
{
    Values& v = values();
    std::lock_guard lock(v.mutex);
    v.*field = value;
}

} // namespace

zy::string currentDirectory() { return get(&Values::currentDirectory); }
void setCurrentDirectory(const zy::string& path) { set(&Values::currentDirectory, path); }
zy::string writeDirectory() { return get(&Values::writeDirectory); }
void setWriteDirectory(const zy::string& path) { set(&Values::writeDirectory, path); }
zy::string tempDirectory() { return get(&Values::tempDirectory); }
void setTempDirectory(const zy::string& path) { set(&Values::tempDirectory, path); }

zy::string logDirectory()
{
    zy::string dir = get(&Values::logDirectory);
    return dir.empty() ? writeDirectory() : dir;
}
void setLogDirectory(const zy::string& path) { set(&Values::logDirectory, path); }

zy::string hostVersion() { return get(&Values::hostVersion); }
void setHostVersion(const zy::string& version) { set(&Values::hostVersion, version); }

} // namespace zy::settings
