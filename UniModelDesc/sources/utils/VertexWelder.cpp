#include "utils/VertexWelder.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "zy/ExtException.h"

namespace model {
namespace {

constexpr uint32_t kNone = 0xFFFFFFFFu;

// Cells are a little wider than twice the tolerance, so a query interval
// [x - tol, x + tol] covers at most two cells per axis (rarely three).
constexpr double kCellWidthFactor = 2.0 * (1.0 + 1e-3);
// The query interval is widened by this share of the tolerance so that the
// rounding of x ± tol in double precision never loses a cell; the exact test
// decides afterwards.
constexpr double kQueryMargin = 1e-4;
// Cell numbers stay far below this (cells are at least 1e-12 of the largest
// coordinate wide); the clamp only guards the conversion.
constexpr double kCellLimit = 4.0e18;

uint64_t mix(uint64_t h)
{
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    return h;
}

// The grid: vertices sorted by the hash bucket of their cell (and part
// number), ascending vertex number inside a bucket.
class WeldGrid {
public:
    WeldGrid(const float* data, uint32_t count, const WeldLayout& layout, double tolerance,
             double cellTolerance, const std::vector<uint8_t>& searchable)
        : data_(data), stride_(layout.stride),
          axes_(std::min<uint32_t>(layout.positionComponents, 3)),
          hasPart_(layout.positionComponents >= 4), tolerance_(tolerance),
          reach_(cellTolerance * (1.0 + kQueryMargin)),
          inverseCell_(1.0 / (cellTolerance * kCellWidthFactor))
    {
        uint32_t members = 0;
        for (uint32_t i = 0; i < count; ++i)
            members += searchable[i];
        bits_ = 1;
        while ((uint64_t(1) << bits_) < uint64_t(members) * 2 && bits_ < 31)
            ++bits_;
        starts_.assign((size_t(1) << bits_) + 1, 0);
        bucketOf_.assign(count, kNone);
        for (uint32_t i = 0; i < count; ++i) {
            if (!searchable[i])
                continue;
            const float* v = vertex(i);
            int64_t cell[3] = {0, 0, 0};
            for (uint32_t a = 0; a < axes_; ++a)
                cell[a] = cellOf(v[a]);
            bucketOf_[i] = bucket(cell, partBits(v));
            ++starts_[bucketOf_[i] + 1];
        }
        for (size_t b = 1; b < starts_.size(); ++b)
            starts_[b] += starts_[b - 1];
        order_.resize(members);
        std::vector<uint32_t> fill(starts_.begin(), starts_.end() - 1);
        for (uint32_t i = 0; i < count; ++i)
            if (bucketOf_[i] != kNone)
                order_[fill[bucketOf_[i]]++] = i;
    }

    // Calls claim(w) for every vertex w > v that matches v.
    template <class Claim>
    void forEachMatch(uint32_t v, Claim&& claim) const
    {
        const float* p = vertex(v);
        int64_t lo[3] = {0, 0, 0}, hi[3] = {0, 0, 0};
        for (uint32_t a = 0; a < axes_; ++a) {
            lo[a] = cellOf(double(p[a]) - reach_);
            hi[a] = cellOf(double(p[a]) + reach_);
        }
        const uint32_t part = partBits(p);
        uint32_t buckets[27];
        int bucketCount = 0;
        int64_t cell[3];
        for (cell[0] = lo[0]; cell[0] <= hi[0]; ++cell[0])
            for (cell[1] = lo[1]; cell[1] <= hi[1]; ++cell[1])
                for (cell[2] = lo[2]; cell[2] <= hi[2]; ++cell[2]) {
                    const uint32_t b = bucket(cell, part);
                    // Two neighbouring cells may share a bucket; scan it once.
                    if (bucketCount < 27 && std::find(buckets, buckets + bucketCount, b) == buckets + bucketCount)
                        buckets[bucketCount++] = b;
                }
        // Candidates lie anywhere in the vertex array: fetch them all before
        // testing any, so the memory reads overlap.
        candidates_.clear();
        for (int i = 0; i < bucketCount; ++i) {
            const uint32_t* first = order_.data() + starts_[buckets[i]];
            const uint32_t* last = order_.data() + starts_[buckets[i] + 1];
            // Members are ascending: skip those not after v.
            for (first = std::upper_bound(first, last, v); first != last; ++first) {
                __builtin_prefetch(vertex(*first));
                candidates_.push_back(*first);
            }
        }
        for (uint32_t w : candidates_)
            if (matches(p, vertex(w)))
                claim(w);
    }

private:
    bool matches(const float* a, const float* b) const
    {
        if (hasPart_ && partBits(a) != partBits(b))
            return false;
        for (uint32_t c = 0; c < stride_; ++c) {
            if (hasPart_ && c == 3)
                continue;
            if (!(std::fabs(double(a[c]) - double(b[c])) <= tolerance_))
                return false;
        }
        return true;
    }

    const float* vertex(uint32_t i) const { return data_ + size_t(i) * stride_; }

    uint32_t partBits(const float* v) const { return hasPart_ ? std::bit_cast<uint32_t>(v[3]) : 0; }

    int64_t cellOf(double x) const
    {
        const double t = std::floor(x * inverseCell_);
        return int64_t(std::clamp(t, -kCellLimit, kCellLimit));
    }

    uint32_t bucket(const int64_t* cell, uint32_t part) const
    {
        uint64_t h = mix(uint64_t(cell[0]) * 0x9E3779B97F4A7C15ull);
        h = mix(h ^ (uint64_t(cell[1]) * 0xC2B2AE3D27D4EB4Full));
        h = mix(h ^ (uint64_t(cell[2]) * 0x165667B19E3779F9ull) ^ (uint64_t(part) << 1));
        return uint32_t(h >> (64 - bits_));
    }

    const float* data_;
    uint32_t stride_;
    uint32_t axes_;
    bool hasPart_;
    double tolerance_;
    double reach_;
    double inverseCell_;
    uint32_t bits_ = 1;
    std::vector<uint32_t> starts_;
    std::vector<uint32_t> bucketOf_;
    std::vector<uint32_t> order_;
    mutable std::vector<uint32_t> candidates_; // scratch of forEachMatch
};

bool finitePosition(const float* v, uint32_t axes)
{
    for (uint32_t a = 0; a < axes; ++a)
        if (!std::isfinite(v[a]))
            return false;
    return true;
}

} // namespace

WeldResult weldVertices(std::vector<float>& data, uint32_t& count, std::vector<uint32_t>& indices,
                        const WeldLayout& layout, double tolerance)
{
    const uint32_t stride = layout.stride;
    if (uint64_t(count) * stride != data.size())
        ZY_THROWF("Vertex array holds %zu values, expected %u vertices of %u.", data.size(), count, stride);

    // 1. Vertices no index refers to.
    std::vector<uint8_t> used(count, 0);
    for (uint32_t index : indices) {
        if (index >= count)
            ZY_THROWF("Index %u is outside the %u vertices.", index, count);
        used[index] = 1;
    }
    WeldResult result;
    for (uint8_t u : used)
        result.unusedRemoved += !u;

    // 2. Copies: target[w] is the vertex w is a copy of, or w itself. NaN and
    // infinite positions can match nothing, so they stay out of the grid.
    std::vector<uint32_t> target(count, kNone);
    const bool welding = tolerance >= 0 && stride > 0;
    if (welding) {
        const uint32_t axes = std::min<uint32_t>(layout.positionComponents, 3);
        std::vector<uint8_t> searchable(count, 0);
        for (uint32_t i = 0; i < count; ++i)
            searchable[i] = used[i] && finitePosition(data.data() + size_t(i) * stride, axes);
        // Cells may be wider than the tolerance asks (the exact test decides),
        // never so narrow that cell numbers of the farthest vertex overflow.
        double largest = 0;
        for (uint32_t i = 0; i < count; ++i)
            if (searchable[i])
                for (uint32_t a = 0; a < axes; ++a)
                    largest = std::max(largest, std::fabs(double(data[size_t(i) * stride + a])));
        const double cellTolerance = std::max({tolerance, largest * 1e-12, 1e-30});
        const WeldGrid grid(data.data(), count, layout, tolerance, cellTolerance, searchable);
        for (uint32_t v = 0; v < count; ++v) {
            if (!searchable[v] || target[v] != kNone)
                continue;
            // Later claims overwrite earlier ones: the last query wins.
            grid.forEachMatch(v, [&](uint32_t w) { target[w] = v; });
        }
    }

    // 3. Compact the survivors in order and rewrite the indices.
    std::vector<uint32_t> newIndex(count, kNone);
    uint32_t kept = 0;
    for (uint32_t i = 0; i < count; ++i) {
        if (!used[i])
            continue;
        if (target[i] != kNone) {
            ++result.copiesRemoved;
            continue;
        }
        if (kept != i)
            std::copy_n(data.begin() + size_t(i) * stride, stride, data.begin() + size_t(kept) * stride);
        newIndex[i] = kept++;
    }
    for (uint32_t& index : indices)
        index = newIndex[target[index] != kNone ? target[index] : index];
    data.resize(size_t(kept) * stride);
    count = kept;
    return result;
}

} // namespace model
