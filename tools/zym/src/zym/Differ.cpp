#include "zym/Differ.h"

#include <cmath>
#include <map>
#include <utility>

#include "zym/DescriptionJson.h"
#include "zym/JsonNumbers.h"

namespace zym {
namespace {

// Arrays whose elements are objects with a "name" are matched by name and
// occurrence; everything else by position.
bool namedList(const Json& j)
{
    if (!j.is_array() || j.empty())
        return false;
    for (const Json& e : j)
        if (!e.is_object() || !e.contains("name") || !e["name"].is_string())
            return false;
    return true;
}

class Differ {
public:
    explicit Differ(const DiffOptions& options) : options_(options) {}

    std::vector<Difference> run(const Json& a, const Json& b)
    {
        compare(a, b, "", false);
        return std::move(out_);
    }

private:
    void add(const std::string& where, std::string what) { out_.push_back({where.empty() ? "(model)" : where, std::move(what)}); }

    static std::string short_(const Json& j)
    {
        std::string s = j.dump(-1, ' ', false, Json::error_handler_t::replace);
        return s.size() > 60 ? s.substr(0, 57) + "..." : s;
    }

    void compare(const Json& a, const Json& b, const std::string& where, bool vertexData)
    {
        double x = 0, y = 0;
        if (jsonToDouble(a, x) && jsonToDouble(b, y) && !a.is_string() && !b.is_string()) {
            const double tolerance = vertexData ? options_.vertexTolerance : options_.tolerance;
            if (!(std::fabs(x - y) <= tolerance) && !(x == y))
                add(where, short_(a) + " != " + short_(b));
            return;
        }
        if (a.type() != b.type() || (!a.is_object() && !a.is_array())) {
            if (a != b)
                add(where, short_(a) + " != " + short_(b));
            return;
        }
        if (a.is_object()) {
            for (const auto& [key, value] : a.items()) {
                const std::string at = where + (where.empty() ? "" : ".") + key;
                if (!b.contains(key))
                    add(at, "only in A");
                else if (key == "children" && value.is_array() && b[key].is_array())
                    compareNamed(value, b[key], where, vertexData, true);
                else
                    compare(value, b[key], at, vertexData || key == "vertices");
            }
            for (const auto& [key, value] : b.items())
                if (!a.contains(key))
                    add(where + (where.empty() ? "" : ".") + key, "only in B");
            return;
        }
        if (namedList(a) || namedList(b)) {
            compareNamed(a, b, where, vertexData, false);
            return;
        }
        const std::size_t common = std::min(a.size(), b.size());
        for (std::size_t i = 0; i < common; ++i)
            compare(a[i], b[i], where + "[" + std::to_string(i) + "]", vertexData);
        if (a.size() != b.size())
            add(where, zy::format("%zu elements in A, %zu in B", a.size(), b.size()));
    }

    // Tree children read as a path ("tree/Body/Door"), other named lists as "list['name']".
    static std::string element(const std::string& where, const std::string& name, int occurrence, bool tree)
    {
        std::string label = tree ? where + "/" + name : where + "['" + name + "']";
        if (occurrence > 0)
            label += "#" + std::to_string(occurrence + 1);
        return label;
    }

    void compareNamed(const Json& a, const Json& b, const std::string& where, bool vertexData, bool tree)
    {
        using Key = std::pair<std::string, int>;
        auto index = [](const Json& list) {
            std::map<Key, std::size_t> byKey;
            std::map<std::string, int> seen;
            std::vector<Key> keys;
            if (list.is_array())
                for (std::size_t i = 0; i < list.size(); ++i) {
                    const std::string name = list[i].is_object() && list[i].contains("name") && list[i]["name"].is_string()
                                                 ? list[i]["name"].get<std::string>()
                                                 : std::to_string(i);
                    const Key key{name, seen[name]++};
                    byKey[key] = i;
                    keys.push_back(key);
                }
            return std::make_pair(byKey, keys);
        };
        const auto [inA, keysA] = index(a);
        const auto [inB, keysB] = index(b);
        for (const Key& key : keysA) {
            const std::string at = element(where, key.first, key.second, tree);
            const auto other = inB.find(key);
            if (other == inB.end())
                add(at, "only in A");
            else
                compare(a[inA.at(key)], b[other->second], at, vertexData);
        }
        for (const Key& key : keysB)
            if (!inA.count(key))
                add(element(where, key.first, key.second, tree), "only in B");
    }

    DiffOptions options_;
    std::vector<Difference> out_;
};

// Render nodes name their material by list position, and the list follows the
// order of first use; compared by the material's name, a reordering is no change.
Json withMaterialNames(Json j)
{
    if (!j.contains("render_nodes"))
        return j;
    const Json materials = j["materials"];
    for (Json& material : j["materials"])
        material.erase("id");
    for (Json& node : j["render_nodes"]) {
        const Json& id = node["material"];
        if (id.is_number_unsigned() && id.get<std::size_t>() < materials.size())
            node["material"] = materials[id.get<std::size_t>()]["name"];
    }
    return j;
}

} // namespace

std::vector<Difference> diffDescriptions(const Description& a, const Description& b, const DiffOptions& options)
{
    return Differ(options).run(withMaterialNames(toJson(a)), withMaterialNames(toJson(b)));
}

} // namespace zym
