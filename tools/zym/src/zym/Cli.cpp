#include "zym/Cli.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <optional>

#include "zym/Checker.h"
#include "zym/DescriptionJson.h"
#include "zym/Differ.h"
#include "zym/FileReader.h"
#include "zym/JsonText.h"
#include "zym/ModelBuilder.h"
#include "zym/Statistics.h"

namespace zym {
namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  zym build MODEL.json -o OUT.zym [--version 10|11]\n"
    "  zym dump FILE.zym [--summary] [-o OUT.json]\n"
    "  zym check FILE.zym\n"
    "  zym stats FILE.zym\n"
    "  zym diff A.zym B.zym [--tolerance X] [--vertex-tolerance X]\n";

struct UsageError {
    std::string message;
};

// Positional arguments and "--name value" / "--flag" options.
class Arguments {
public:
    Arguments(const std::vector<std::string>& args, std::vector<std::string> valued, std::vector<std::string> flags)
    {
        for (std::size_t i = 1; i < args.size(); ++i) {
            const std::string& a = args[i];
            if (std::find(valued.begin(), valued.end(), a) != valued.end()) {
                if (i + 1 >= args.size())
                    throw UsageError{a + " needs a value"};
                options_.emplace_back(a, args[++i]);
            } else if (std::find(flags.begin(), flags.end(), a) != flags.end()) {
                options_.emplace_back(a, "");
            } else if (a.size() > 1 && a[0] == '-') {
                throw UsageError{"unknown option " + a};
            } else {
                positional_.push_back(a);
            }
        }
    }

    const std::vector<std::string>& positional(std::size_t expected) const
    {
        if (positional_.size() != expected)
            throw UsageError{"expected " + std::to_string(expected) + " file name(s)"};
        return positional_;
    }
    std::optional<std::string> option(const std::string& name) const
    {
        for (const auto& [key, value] : options_)
            if (key == name)
                return value;
        return std::nullopt;
    }
    double number(const std::string& name, double fallback) const
    {
        const std::optional<std::string> v = option(name);
        if (!v)
            return fallback;
        char* end = nullptr;
        const double d = std::strtod(v->c_str(), &end);
        if (end == v->c_str() || *end != '\0' || !(d >= 0))
            throw UsageError{name + " needs a non-negative number"};
        return d;
    }

private:
    std::vector<std::string> positional_;
    std::vector<std::pair<std::string, std::string>> options_;
};

Description readFile(const std::string& path) { return readDescription(readFileBytes(path)); }

int build(const Arguments& a, std::ostream& out)
{
    const std::string& input = a.positional(1)[0];
    const std::optional<std::string> output = a.option("-o");
    if (!output)
        throw UsageError{"build needs -o OUT.zym"};
    const double version = a.number("--version", 10);
    if (version != 10 && version != 11)
        throw UsageError{"--version is 10 or 11"};
    std::ifstream in(input);
    if (!in)
        ZY_THROW("Can't open " + input);
    Json j;
    try {
        j = Json::parse(in);
    } catch (const Json::exception& e) {
        ZY_THROW(input + ": " + e.what());
    }
    buildFile(fromJson(j), *output, static_cast<std::uint16_t>(version));
    return 0;
}

int dump(const Arguments& a, std::ostream& out)
{
    DumpOptions options;
    options.summary = a.option("--summary").has_value();
    const std::string text = jsonText(toJson(readFile(a.positional(1)[0]), options));
    if (const std::optional<std::string> output = a.option("-o")) {
        std::ofstream file(*output);
        if (!(file << text))
            ZY_THROW("Can't write " + *output);
    } else {
        out << text;
    }
    return 0;
}

int check(const Arguments& a, std::ostream& out)
{
    const std::vector<Problem> problems = checkFile(readFileBytes(a.positional(1)[0]));
    if (problems.empty()) {
        out << "ok\n";
        return 0;
    }
    out << "byte " << problems[0].offset << ": " << problems[0].message << '\n';
    if (problems.size() > 1)
        out << "(" << problems.size() - 1 << " more problem(s) behind it)\n";
    return 1;
}

int stats(const Arguments& a, std::ostream& out)
{
    printStatistics(buildStatistics(readFile(a.positional(1)[0])), out);
    return 0;
}

int diff(const Arguments& a, std::ostream& out)
{
    const std::vector<std::string>& files = a.positional(2);
    DiffOptions options;
    options.tolerance = a.number("--tolerance", 0);
    options.vertexTolerance = a.number("--vertex-tolerance", options.tolerance);
    const std::vector<Difference> differences = diffDescriptions(readFile(files[0]), readFile(files[1]), options);
    for (const Difference& d : differences)
        out << d.where << ": " << d.what << '\n';
    return differences.empty() ? 0 : 1;
}

} // namespace

int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    if (args.empty()) {
        err << kUsage;
        return 2;
    }
    const std::string& command = args[0];
    try {
        if (command == "build")
            return build(Arguments(args, {"-o", "--version"}, {}), out);
        if (command == "dump")
            return dump(Arguments(args, {"-o"}, {"--summary"}), out);
        if (command == "check")
            return check(Arguments(args, {}, {}), out);
        if (command == "stats")
            return stats(Arguments(args, {}, {}), out);
        if (command == "diff")
            return diff(Arguments(args, {"--tolerance", "--vertex-tolerance"}, {}), out);
        err << "unknown command " << command << "\n" << kUsage;
        return 2;
    } catch (const UsageError& e) {
        err << "zym " << command << ": " << e.message << "\n" << kUsage;
        return 2;
    } catch (const zy::ExtException& e) {
        err << "zym " << command << ": " << e.message() << '\n';
        return 1;
    }
}

} // namespace zym
