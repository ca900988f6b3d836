#pragma once
// An ordered list of shared properties (a node's properties, a material's
// uniforms) with the look-ups the exporter and the passes use.
#include <string_view>
#include <vector>

#include "BaseProperty.h"

namespace model {

template <class P>
class TPropertyList {
public:
    using value_type = zy::Ref<P>;
    using iterator = typename std::vector<value_type>::iterator;
    using const_iterator = typename std::vector<value_type>::const_iterator;

    TPropertyList() = default;
    TPropertyList(std::initializer_list<value_type> items) : items_(items) {}

    size_t size() const noexcept { return items_.size(); }
    bool empty() const noexcept { return items_.empty(); }
    P* operator[](size_t i) const noexcept { return items_[i].get(); }
    const value_type& at(size_t i) const { return items_.at(i); }
    iterator begin() noexcept { return items_.begin(); }
    iterator end() noexcept { return items_.end(); }
    const_iterator begin() const noexcept { return items_.begin(); }
    const_iterator end() const noexcept { return items_.end(); }

    void push_back(value_type property) { items_.push_back(std::move(property)); }
    void set(size_t i, value_type property) { items_.at(i) = std::move(property); }
    iterator erase(const_iterator it) { return items_.erase(it); }
    void clear() noexcept { items_.clear(); }
    void reserve(size_t n) { items_.reserve(n); }

    // The first property of that kind and name (bytes), or null.
    P* find(std::string_view name, ValueKind kind) const noexcept
    {
        for (const value_type& p : items_)
            if (p->valueKind() == kind && p->name() == name)
                return p.get();
        return nullptr;
    }
    // True when a property of that name exists, whatever its kind.
    bool has(std::string_view name) const noexcept
    {
        for (const value_type& p : items_)
            if (p->name() == name)
                return true;
        return false;
    }
    // Copy the value of the named property of that kind into out and answer
    // true; leave out unchanged and answer false when there is none.
    bool getFloat(std::string_view name, float& out) const
    {
        P* p = find(name, ValueKind::Float);
        return p && (out = p->asFloat(), true);
    }
    bool getVec2f(std::string_view name, osg::Vec2f& out) const
    {
        P* p = find(name, ValueKind::Vec2f);
        return p && (out = p->asVec2f(), true);
    }
    bool getString(std::string_view name, zy::string& out) const
    {
        P* p = find(name, ValueKind::String);
        return p && (out = p->asString(), true);
    }

    const std::vector<value_type>& items() const noexcept { return items_; }

private:
    std::vector<value_type> items_;
};

using PropertyList = TPropertyList<BaseProperty>;
using AnimatedPropertyList = TPropertyList<BaseAnimatedProperty>;

// Same length, and every property of a has an equal one somewhere in b.
bool equalPropertySets(const PropertyList& a, const PropertyList& b);
// The same for animated properties, compared with equalsAnimated.
bool equalPropertySets(const AnimatedPropertyList& a, const AnimatedPropertyList& b);

// u32 count, then each property record in list order.
void writePropertyList(io::IBinaryFileW& out, const PropertyList& list);
void writePropertyList(io::IBinaryFileW& out, const AnimatedPropertyList& list);

} // namespace model
