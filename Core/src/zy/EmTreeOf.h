#pragma once
// Intrusive tree links. A node of type T (deriving from EmTreeOf<T>) owns its
// children: destroying a node destroys its children, last child first, and
// unlinks the node from its parent and siblings. The children go when the
// EmTreeOf part is destroyed, that is after T's own destructor has run: a
// child's destructor must not use its parent as a T.

namespace zy {

template <class T>
class EmTreeOf {
public:
    EmTreeOf() = default;
    EmTreeOf(const EmTreeOf&) = delete;
    EmTreeOf& operator=(const EmTreeOf&) = delete;

    virtual ~EmTreeOf()
    {
        while (lastChild_)
            delete lastChild_;
        unlink();
    }

    T* parent() const noexcept { return cast(parent_); }
    T* firstChild() const noexcept { return cast(firstChild_); }
    T* lastChild() const noexcept { return cast(lastChild_); }
    T* nextSibling() const noexcept { return cast(next_); }
    T* prevSibling() const noexcept { return cast(prev_); }
    bool hasChildren() const noexcept { return firstChild_ != nullptr; }

    int childCount() const noexcept
    {
        int n = 0;
        for (const EmTreeOf* c = firstChild_; c; c = c->next_)
            ++n;
        return n;
    }

    // Links child after the last child; the child is taken out of its old place first.
    void appendChild(T* child) noexcept { insertChildBefore(child, nullptr); }

    // Links child before `before` (a child of this node), or last when `before` is null.
    // The child must not be this node or one of its ancestors.
    void insertChildBefore(T* child, T* before) noexcept
    {
        EmTreeOf* node = child;
        EmTreeOf* next = before;
        if (node == next)
            return;
        node->unlink();
        node->parent_ = this;
        node->next_ = next;
        node->prev_ = next ? next->prev_ : lastChild_;
        if (node->prev_)
            node->prev_->next_ = node;
        else
            firstChild_ = node;
        if (next)
            next->prev_ = node;
        else
            lastChild_ = node;
    }

    // Unlinks this node from its parent and siblings; its own children stay with it.
    void unlink() noexcept
    {
        if (parent_) {
            if (parent_->firstChild_ == this)
                parent_->firstChild_ = next_;
            if (parent_->lastChild_ == this)
                parent_->lastChild_ = prev_;
        }
        if (prev_)
            prev_->next_ = next_;
        if (next_)
            next_->prev_ = prev_;
        parent_ = prev_ = next_ = nullptr;
    }

private:
    // The links are kept as base pointers, so that unlinking works while a
    // node is being destroyed (its T part already gone); they are turned
    // into T only for callers.
    static T* cast(EmTreeOf* node) noexcept { return static_cast<T*>(node); }

    EmTreeOf* parent_ = nullptr;
    EmTreeOf* firstChild_ = nullptr;
    EmTreeOf* lastChild_ = nullptr;
    EmTreeOf* next_ = nullptr;
    EmTreeOf* prev_ = nullptr;
};

} // namespace zy
