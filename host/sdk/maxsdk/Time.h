#pragma once
// Time: signed ticks, 4800 per second, and intervals of it.
#include <climits>

#include "maxsdk/HostExport.h"

using TimeValue = int;

constexpr int TIME_TICKSPERSEC = 4800;
constexpr TimeValue TIME_NegInfinity = INT_MIN;
constexpr TimeValue TIME_PosInfinity = INT_MAX;

// Closed interval [start, end]; the empty interval has both ends at minus infinity.
class Interval {
public:
    constexpr Interval() : start_(TIME_NegInfinity), end_(TIME_NegInfinity) {}
    constexpr Interval(TimeValue s, TimeValue e) : start_(s), end_(e) {}
    constexpr TimeValue Start() const { return start_; }
    constexpr TimeValue End() const { return end_; }
    void Set(TimeValue s, TimeValue e) { start_ = s; end_ = e; }
    void SetStart(TimeValue s) { start_ = s; }
    void SetEnd(TimeValue e) { end_ = e; }
    void SetEmpty() { start_ = end_ = TIME_NegInfinity; }
    void SetInfinite() { start_ = TIME_NegInfinity; end_ = TIME_PosInfinity; }
    void SetInstant(TimeValue t) { start_ = end_ = t; }
    constexpr bool Empty() const { return start_ == TIME_NegInfinity && end_ == TIME_NegInfinity; }
    constexpr bool InInterval(TimeValue t) const { return !Empty() && t >= start_ && t <= end_; }
    constexpr TimeValue Duration() const { return end_ - start_ + 1; }
    // Intersection.
    Interval& operator&=(const Interval& o) {
        if (Empty() || o.Empty() || o.start_ > end_ || o.end_ < start_) {
            SetEmpty();
        } else {
            start_ = start_ > o.start_ ? start_ : o.start_;
            end_ = end_ < o.end_ ? end_ : o.end_;
        }
        return *this;
    }
    // Grows the interval to hold t.
    Interval& operator+=(TimeValue t) {
        if (Empty()) {
            SetInstant(t);
        } else {
            if (t < start_) start_ = t;
            if (t > end_) end_ = t;
        }
        return *this;
    }
    constexpr bool operator==(const Interval& o) const { return start_ == o.start_ && end_ == o.end_; }

private:
    TimeValue start_, end_;
};

constexpr Interval FOREVER(TIME_NegInfinity, TIME_PosInfinity);
constexpr Interval NEVER(TIME_NegInfinity, TIME_NegInfinity);

// Ticks per frame of the scene (160 at 30 frames per second).
ZYHOST_API int GetTicksPerFrame();
ZYHOST_API void SetTicksPerFrame(int ticks);
