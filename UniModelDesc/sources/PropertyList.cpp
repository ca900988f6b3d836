#include "PropertyList.h"

#include <unordered_map>

#include "io/IBinaryFileW.h"

namespace model {

namespace {

// Equality needs equal names, so candidates are looked up by name; short
// lists (the usual case) are compared directly.
template <class P, class Equal>
bool equalSets(const TPropertyList<P>& a, const TPropertyList<P>& b, Equal equal)
{
    if (a.size() != b.size())
        return false;
    constexpr size_t kDirect = 8;
    if (a.size() <= kDirect) {
        for (const auto& p : a) {
            bool found = false;
            for (const auto& q : b)
                if (equal(*p, *q)) {
                    found = true;
                    break;
                }
            if (!found)
                return false;
        }
        return true;
    }
    std::unordered_multimap<std::string_view, const P*> byName;
    byName.reserve(b.size());
    for (const auto& q : b)
        byName.emplace(q->name(), q.get());
    for (const auto& p : a) {
        auto [first, last] = byName.equal_range(p->name());
        bool found = false;
        for (auto it = first; it != last && !found; ++it)
            found = equal(*p, *it->second);
        if (!found)
            return false;
    }
    return true;
}

template <class P>
void writeList(io::IBinaryFileW& out, const TPropertyList<P>& list)
{
    out.writeU32(static_cast<uint32_t>(list.size()));
    for (const auto& p : list)
        p->write(out);
}

} // namespace

bool equalPropertySets(const PropertyList& a, const PropertyList& b)
{
    return equalSets(a, b, [](const BaseProperty& p, const BaseProperty& q) { return p.equals(q); });
}

bool equalPropertySets(const AnimatedPropertyList& a, const AnimatedPropertyList& b)
{
    return equalSets(a, b, [](const BaseAnimatedProperty& p, const BaseAnimatedProperty& q) {
        return p.equalsAnimated(q);
    });
}

void writePropertyList(io::IBinaryFileW& out, const PropertyList& list)
{
    writeList(out, list);
}

void writePropertyList(io::IBinaryFileW& out, const AnimatedPropertyList& list)
{
    writeList(out, list);
}

} // namespace model
