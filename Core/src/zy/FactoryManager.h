#pragma once
// Class registry by name. A zy::regClass<Class, Manager> object registers a
// factory for Class under its name while it lives (a static object in the
// library that owns the class), so look-up by name creates an empty object.
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "zy/String.h"

namespace zy {

class Factory {
public:
    virtual ~Factory() = default;
    virtual const char* className() const = 0;
    // Creates an empty object of the class; the caller owns it.
    virtual void* create() const = 0;
};

template <class FactoryT>
class TFactoryManager {
public:
    void add(const FactoryT* factory)
    {
        std::lock_guard lock(mutex_);
        factories_[factory->className()] = factory;
    }

    void remove(const FactoryT* factory)
    {
        std::lock_guard lock(mutex_);
        auto it = factories_.find(factory->className());
        if (it != factories_.end() && it->second == factory)
            factories_.erase(it);
    }

    const FactoryT* find(const zy::string& name) const
    {
        std::lock_guard lock(mutex_);
        auto it = factories_.find(name);
        return it == factories_.end() ? nullptr : it->second;
    }

    std::vector<zy::string> names() const
    {
        std::lock_guard lock(mutex_);
        std::vector<zy::string> out;
        for (const auto& [name, f] : factories_)
            out.push_back(name);
        return out;
    }

private:
    mutable std::mutex mutex_;
    std::map<zy::string, const FactoryT*, std::less<>> factories_;
};

// Registers a factory creating `Class` under `name` in Manager::instance()
// for as long as this object lives.
template <class Class, class Manager>
class regClass : public Factory {
public:
    explicit regClass(const char* name) : name_(name) { Manager::instance().add(this); }
    ~regClass() override { Manager::instance().remove(this); }
    regClass(const regClass&) = delete;
    regClass& operator=(const regClass&) = delete;

    const char* className() const override { return name_; }
    void* create() const override { return new Class(); }

private:
    const char* name_;
};

} // namespace zy
