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

    T* parent() const noexcept { return parent_; }
    T* firstChild() const noexcept { return firstChild_; }
    T* lastChild() const noexcept { return lastChild_; }
    T* nextSibling() const noexcept { return next_; }
    T* prevSibling() const noexcept { return prev_; }
    bool hasChildren() const noexcept { return firstChild_ != nullptr; }

    int childCount() const noexcept
    {
        int n = 0;
        for (T* c = firstChild_; c; c = c->next_)
            ++n;
        return n;
    }

    // Links child after the last child; the child is taken out of its old place first.
    void appendChild(T* child) noexcept { insertChildBefore(child, nullptr); }

    // Links child before `before` (a child of this node), or last when `before` is null.
    // The child must not be this node or one of its ancestors.
    void insertChildBefore(T* child, T* before) noexcept
    {
        if (child == before)
            return;
        child->unlink();
        child->parent_ = self();
        child->next_ = before;
        child->prev_ = before ? before->prev_ : lastChild_;
        if (child->prev_)
            child->prev_->next_ = child;
        else
            firstChild_ = child;
        if (before)
            before->prev_ = child;
        else
            lastChild_ = child;
    }

    // Unlinks this node from its parent and siblings; its own children stay with it.
    void unlink() noexcept
    {
        if (parent_) {
            if (parent_->firstChild_ == self())
                parent_->firstChild_ = next_;
            if (parent_->lastChild_ == self())
                parent_->lastChild_ = prev_;
        }
        if (prev_)
            prev_->next_ = next_;
        if (next_)
            next_->prev_ = prev_;
        parent_ = prev_ = next_ = nullptr;
    }

private:
    T* self() noexcept { return static_cast<T*>(this); }

    T* parent_ = nullptr;
    T* firstChild_ = nullptr;
    T* lastChild_ = nullptr;
    T* next_ = nullptr;
    T* prev_ = nullptr;
};

} // namespace zy
