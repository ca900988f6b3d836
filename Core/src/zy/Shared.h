#pragma once
// Intrusive reference counting. Objects deriving from zy::SharedLite carry
// their own count; zy::Ref<T> is the counting reference that holds them.
#include <atomic>
#include <cstddef>
#include <utility>

namespace zy {

class SharedLite {
public:
    SharedLite() = default;
    // A copy is a new object: it starts with no references of its own.
    SharedLite(const SharedLite&) noexcept {}
    SharedLite& operator=(const SharedLite&) noexcept { return *this; }
    virtual ~SharedLite() = default;

    void addRef() const noexcept { refs_.fetch_add(1, std::memory_order_relaxed); }
    void release() const noexcept
    {
        if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }
    int refCount() const noexcept { return refs_.load(std::memory_order_relaxed); }

private:
    mutable std::atomic<int> refs_{0};
};

class Shared : public SharedLite {
public:
    using SharedLite::SharedLite;
};

// Counting reference to an object derived from SharedLite.
template <class T>
class Ref {
public:
    Ref() noexcept = default;
    Ref(std::nullptr_t) noexcept {}
    Ref(T* p) noexcept : p_(p) { if (p_) p_->addRef(); }
    Ref(const Ref& o) noexcept : Ref(o.p_) {}
    Ref(Ref&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    template <class U>
    Ref(const Ref<U>& o) noexcept : Ref(static_cast<T*>(o.get())) {}
    template <class U>
    Ref(Ref<U>&& o) noexcept : p_(static_cast<T*>(o.detach())) {}
    ~Ref() { if (p_) p_->release(); }

    Ref& operator=(Ref o) noexcept { std::swap(p_, o.p_); return *this; }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    // Gives up the reference without releasing it.
    T* detach() noexcept { return std::exchange(p_, nullptr); }
    void reset(T* p = nullptr) noexcept { *this = Ref(p); }

    friend bool operator==(const Ref& a, const Ref& b) noexcept { return a.p_ == b.p_; }
    friend bool operator==(const Ref& a, std::nullptr_t) noexcept { return a.p_ == nullptr; }

private:
    T* p_ = nullptr;
};

template <class T, class... Args>
Ref<T> makeRef(Args&&... args)
{
    return Ref<T>(new T(std::forward<Args>(args)...));
}

} // namespace zy
