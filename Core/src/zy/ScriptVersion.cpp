#include <cstdio>
#include <sys/utsname.h>

#include "zy/ExtException.h"
#include "zy/ScriptInternal.h"
#include "zy/Settings.h"

namespace zy::script::detail {

namespace {

// "major.minor.build" of the running kernel, from its release text ("6.1.0-18-amd64").
zy::string osVersion()
{
    struct utsname info {};
    int major = 0, minor = 0, build = 0;
    if (::uname(&info) == 0)
        std::sscanf(info.release, "%d.%d.%d", &major, &minor, &build);
    return zy::format("%d.%d.%d", major, minor, build);
}

} // namespace

const zy::string& versionString()
{
    static const zy::string version = zy::format("Tarn/%s (%s; Windows NT %s)",
        settings::hostVersion().c_str(), "x86_64", osVersion().c_str());
    return version;
}

} // namespace zy::script::detail
