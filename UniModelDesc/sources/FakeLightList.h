#pragma once
// Controls and lights of a fake-light node. Lights are kept sorted by control
// slot, so the lights of each control form one run; each control stores its
// run as first light and end (one past its last light).
#include <algorithm>
#include <cstdint>
#include <numeric>
#include <vector>

#include "Math.h"

namespace model {

class Node;

struct FakeLightControl {
    Node* node = nullptr;
    uint32_t first = 0;
    uint32_t end = 0;
};

struct FakeSpotLightControl : FakeLightControl {
    osg::Vec3f direction;
};

struct FakeOmniLight {
    osg::Vec3d position;
    osg::Vec2f lowerLeft;
    osg::Vec2f upperRight;
    float size = 0;
    uint32_t controlSlot = 0;
};

struct FakeSpotLight : FakeOmniLight {
    osg::Vec2f backLowerLeft;
    osg::Vec2f backUpperRight;
    bool backUsed = false;
};

template <class Control, class Light>
class FakeLightList {
public:
    FakeLightList() : controls_(1) {}

    const std::vector<Control>& controls() const { return controls_; }
    const std::vector<Light>& lights() const { return lights_; }
    const Control& control(size_t i) const { return controls_.at(i); }
    Control& control(size_t i) { return controls_.at(i); }

    // Appends a control with an empty run; returns its slot.
    uint32_t addControl(const Control& control)
    {
        Control c = control;
        c.first = c.end = uint32_t(lights_.size());
        controls_.push_back(c);
        return uint32_t(controls_.size() - 1);
    }

    // Adds a light behind the other lights of its control. A light whose
    // control slot names no control is refused (false).
    bool addLight(const Light& light)
    {
        if (light.controlSlot >= controls_.size())
            return false;
        const auto at = std::upper_bound(lights_.begin(), lights_.end(), light.controlSlot,
            [](uint32_t slot, const Light& l) { return slot < l.controlSlot; });
        lights_.insert(at, light);
        // The light joins the end of its control's run; later runs move back by one.
        ++controls_[light.controlSlot].end;
        for (size_t c = size_t(light.controlSlot) + 1; c < controls_.size(); ++c) {
            ++controls_[c].first;
            ++controls_[c].end;
        }
        return true;
    }

    // Replaces all lights; refused (false) when a light names no control.
    bool setLights(std::vector<Light> lights)
    {
        for (const Light& l : lights)
            if (l.controlSlot >= controls_.size())
                return false;
        lights_ = std::move(lights);
        std::stable_sort(lights_.begin(), lights_.end(),
            [](const Light& a, const Light& b) { return a.controlSlot < b.controlSlot; });
        updateRuns();
        return true;
    }

    // Mutable access for passes that move lights (positions, sizes); the
    // control slots must not be changed through it.
    Light& light(size_t i) { return lights_.at(i); }

    // Combines the other list into this one: controls that `same` calls equal
    // are shared, the other control slots are renumbered to the combined list,
    // lights are re-sorted by control slot (this node's lights first within a
    // run) and the runs are recomputed. Returns, for each combined light, its
    // position in the concatenation of this list's and the other's lights.
    template <class SameControl>
    std::vector<size_t> combine(const FakeLightList& other, SameControl same)
    {
        std::vector<uint32_t> slotOf(other.controls_.size());
        for (size_t i = 0; i < other.controls_.size(); ++i) {
            const auto found = std::find_if(controls_.begin(), controls_.end(),
                [&](const Control& c) { return same(c, other.controls_[i]); });
            if (found != controls_.end()) {
                slotOf[i] = uint32_t(found - controls_.begin());
            } else {
                slotOf[i] = uint32_t(controls_.size());
                controls_.push_back(other.controls_[i]);
            }
        }
        std::vector<Light> all = lights_;
        for (Light l : other.lights_) {
            l.controlSlot = slotOf.at(l.controlSlot);
            all.push_back(l);
        }
        std::vector<size_t> order(all.size());
        std::iota(order.begin(), order.end(), size_t(0));
        std::stable_sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return all[a].controlSlot < all[b].controlSlot; });
        lights_.clear();
        lights_.reserve(all.size());
        for (size_t i : order)
            lights_.push_back(all[i]);
        updateRuns();
        return order;
    }

private:
    // Counts the lights of each control and sets the runs as running sums.
    void updateRuns()
    {
        for (Control& c : controls_)
            c.end = 0;
        for (const Light& l : lights_)
            ++controls_[l.controlSlot].end;
        uint32_t first = 0;
        for (Control& c : controls_) {
            c.first = first;
            c.end += first;
            first = c.end;
        }
    }

    std::vector<Control> controls_;
    std::vector<Light> lights_;
};

} // namespace model
