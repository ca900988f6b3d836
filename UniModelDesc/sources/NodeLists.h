#pragma once
// The root's lists of non-tree nodes: connectors and lights (owned), rendering
// and shell nodes (shared). The element class may still be incomplete where a
// list is declared: each entry keeps the node as a BaseNode (for writing and
// the argument census) and as its own class (for callers), and only the
// places that add nodes need the full class.
#include <memory>
#include <vector>

#include "BaseNode.h"
#include "zy/Shared.h"

namespace model {

// Owns its nodes.
template <class T>
class OwnedNodeList {
public:
    size_t size() const noexcept { return entries_.size(); }
    bool empty() const noexcept { return entries_.empty(); }
    T* operator[](size_t i) const noexcept { return entries_[i].typed; }
    T* at(size_t i) const { return entries_.at(i).typed; }
    BaseNode& node(size_t i) const noexcept { return *entries_[i].owner; }

    template <class U>
    void push_back(std::unique_ptr<U> node)
    {
        T* typed = node.get();
        entries_.push_back({std::unique_ptr<BaseNode>(node.release()), typed});
    }
    // Removes and destroys the node at i.
    void erase(size_t i) { entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i)); }
    void clear() noexcept { entries_.clear(); }

private:
    struct Entry {
        std::unique_ptr<BaseNode> owner;
        T* typed;
    };
    std::vector<Entry> entries_;
};

// Holds counting references to its nodes (T derives from zy::SharedLite).
template <class T>
class SharedNodeList {
public:
    size_t size() const noexcept { return entries_.size(); }
    bool empty() const noexcept { return entries_.empty(); }
    T* operator[](size_t i) const noexcept { return entries_[i].typed; }
    T* at(size_t i) const { return entries_.at(i).typed; }
    zy::Ref<T> ref(size_t i) const { return zy::Ref<T>(entries_.at(i).typed); }
    BaseNode& node(size_t i) const noexcept { return *entries_[i].base; }

    template <class U>
    void push_back(const zy::Ref<U>& node)
    {
        entries_.push_back({zy::Ref<zy::SharedLite>(node.get()), node.get(), node.get()});
    }
    template <class U>
    void set(size_t i, const zy::Ref<U>& node)
    {
        entries_.at(i) = Entry{zy::Ref<zy::SharedLite>(node.get()), node.get(), node.get()};
    }
    void erase(size_t i) { entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(i)); }
    void clear() noexcept { entries_.clear(); }

private:
    struct Entry {
        zy::Ref<zy::SharedLite> keeper;
        BaseNode* base;
        T* typed;
    };
    std::vector<Entry> entries_;
};

} // namespace model
