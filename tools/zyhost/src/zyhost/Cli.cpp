#include "zyhost/Cli.h"

#include <cstdio>
#include <memory>
#include <ostream>

#include "maxsdk/Max.h"
#include "mem/MemInterface.h"
#include "mem/ScriptRuntime.h"
#include "zyhost/Console.h"
#include "zyhost/PluginLoader.h"
#include "zyhost/SceneFile.h"
#include "zyhost/SceneTree.h"
#include "zyhost/SceneWriter.h"
#include "zyhost/ScriptHost.h"

namespace zyhost {

namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char* const kUsageText =
    "usage: zyhost [--plugins DIR] [--config DIR] <command>\n"
    "  info                                   loaded plug-ins, classes and primitives\n"
    "  scene FILE                             prints the scene tree\n"
    "  script FILE SCRIPT.lua [--save OUT]    runs a Lua script on the scene\n"
    "  export FILE [-o OUT.zym]               exports the scene with the exporter plug-in\n";

struct Options {
    std::string pluginDir, configDir, saveTo, output;
    std::vector<std::string> positional;
};

bool Parse(const std::vector<std::string>& args, Options& o, std::ostream& err) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                err << "zyhost: " << a << " needs a value\n";
                return false;
            }
            into = args[++i];
            return true;
        };
        if (a == "--plugins") { if (!value(o.pluginDir)) return false; }
        else if (a == "--config") { if (!value(o.configDir)) return false; }
        else if (a == "--save") { if (!value(o.saveTo)) return false; }
        else if (a == "-o" || a == "--output") { if (!value(o.output)) return false; }
        else if (a == "-h" || a == "--help") return false;
        else if (a.size() > 1 && a[0] == '-') {
            err << "zyhost: unknown option " << a << '\n';
            return false;
        } else {
            o.positional.push_back(a);
        }
    }
    return true;
}

std::string Hex(unsigned long v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%lx", v);
    return buf;
}

void PrintInfo(const PluginLoader& loader, const std::string& dir, std::ostream& out) {
    out << "Plug-in directory: " << dir << '\n';
    out << "Plug-ins: " << loader.Plugins().size() << '\n';
    for (const LoadedPlugin& p : loader.Plugins()) {
        out << "  " << p.path << "\n    \"" << p.description << "\", version " << Hex(p.version) << '\n';
        for (ClassDesc* cd : p.classes) {
            Class_ID id = cd->ClassID();
            out << "    class \"" << ToUTF8(cd->ClassName() ? cd->ClassName() : _M("")) << "\" super "
                << Hex(cd->SuperClassID()) << " id (" << Hex(id.PartA()) << ", " << Hex(id.PartB()) << ")";
            if (const MCHAR* cat = cd->Category(); cat && *cat) out << " category \"" << ToUTF8(cat) << "\"";
            out << '\n';
        }
    }
    PrimitiveRegistry& registry = GetPrimitiveRegistry();
    out << "Primitives: " << registry.Count() << '\n';
    for (int i = 0; i < registry.Count(); ++i) out << "  " << ToUTF8(registry.Get(i)->Name()) << '\n';
}

std::string DefaultExportPath(const std::string& scene) {
    std::size_t slash = scene.find_last_of('/');
    std::size_t dot = scene.find_last_of('.');
    std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash) ? scene.substr(0, dot) : scene;
    return stem + ".zym";
}

// One run of a command with the host set up and plug-ins loaded.
class Session {
public:
    Session(const Options& o, std::ostream& out, std::ostream& err, bool terminal)
        : options_(o), out_(out), err_(err), host_(TheMemInterface()), loader_(host_.GetClassDirectory()),
          console_(host_, err, terminal) {}

    ~Session() {
        // Plug-in objects leave the scene before their code is unloaded.
        console_.Flush();
        host_.StopGlobalUtilityPlugins();
        host_.ResetScene();
        script_.reset();
        loader_.UnloadAll();
    }

    int Run(const std::string& command) {
        host_.ResetScene();
        console_.Attach();
        host_.SetDir(APP_PLUGCFG_DIR, FromUTF8(options_.configDir));
        loader_.LoadDirectory(options_.pluginDir);
        for (const std::string& e : loader_.Errors()) err_ << "zyhost: " << e << '\n';
        const auto& args = options_.positional;
        if (command == "info" && args.size() == 1) {
            PrintInfo(loader_, options_.pluginDir, out_);
            return kOk;
        }
        if (command == "scene" && args.size() == 2) {
            if (!Load(args[1])) return kFailed;
            PrintSceneTree(host_, out_);
            return kOk;
        }
        if (command == "script" && args.size() == 3) return Script(args[1], args[2]);
        if (command == "export" && args.size() == 2) return Export(args[1]);
        err_ << kUsageText;
        return kUsage;
    }

private:
    bool Load(const std::string& path) {
        try {
            LoadSceneFile(path, host_);
            console_.Attach();
            // Started after the scene is in place: a scene reset closes their windows.
            host_.StartGlobalUtilityPlugins();
            return true;
        } catch (const SceneError& e) {
            err_ << "zyhost: " << e.what() << '\n';
        } catch (const std::exception& e) {
            err_ << "zyhost: " << e.what() << '\n';
        }
        return false;
    }

    int Finish(int status) {
        console_.Flush();
        return status == kOk && console_.ErrorShown() ? kFailed : status;
    }

    int Script(const std::string& scene, const std::string& scriptPath) {
        if (!Load(scene)) return kFailed;
        script_ = std::make_unique<ScriptHost>(host_);
        std::string error = script_->RunFile(scriptPath);
        if (!error.empty()) {
            console_.Flush();
            err_ << "zyhost: script error: " << error << '\n';
            return kFailed;
        }
        if (!options_.saveTo.empty()) {
            try {
                SaveSceneFile(options_.saveTo, host_);
            } catch (const std::exception& e) {
                console_.Flush();
                err_ << "zyhost: " << e.what() << '\n';
                return kFailed;
            }
        }
        return Finish(kOk);
    }

    int Export(const std::string& scene) {
        if (!GetPrimitiveRegistry().Find(_M("ExportToZYM"))) {
            err_ << "zyhost: no exporter is loaded (no plug-in in " << options_.pluginDir
                 << " registers ExportToZYM); nothing was exported\n";
            return kUsage;
        }
        if (!Load(scene)) return kFailed;
        std::string output = options_.output.empty() ? DefaultExportPath(scene) : options_.output;
        std::string error = RunExport(output);
        if (!error.empty()) {
            console_.Flush();
            err_ << "zyhost: export failed: " << error << '\n';
            return kFailed;
        }
        if (host_.GetCancel()) {
            console_.Flush();
            err_ << "zyhost: export cancelled\n";
            return kFailed;
        }
        return Finish(kOk);
    }

    std::string RunExport(const std::string& output) {
        try {
            std::vector<Value*> args{new String(FromUTF8(output))};
            CallPrimitive(_M("ExportToZYM"), std::move(args));
            CollectScriptGarbage();
            return {};
        } catch (const std::exception& e) {
            CollectScriptGarbage();
            return e.what();
        }
    }

    const Options& options_;
    std::ostream& out_;
    std::ostream& err_;
    MemInterface& host_;
    PluginLoader loader_;
    Console console_;
    std::unique_ptr<ScriptHost> script_;
};

} // namespace

int RunCli(const std::vector<std::string>& args, const CliDefaults& defaults, std::ostream& out, std::ostream& err,
           bool errIsTerminal) {
    Options o;
    o.pluginDir = defaults.pluginDir;
    o.configDir = defaults.configDir;
    if (!Parse(args, o, err) || o.positional.empty()) {
        err << kUsageText;
        return kUsage;
    }
    Session session(o, out, err, errIsTerminal);
    return session.Run(o.positional[0]);
}

} // namespace zyhost
