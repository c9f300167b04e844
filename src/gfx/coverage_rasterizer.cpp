#include "gfx/coverage_rasterizer.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "gfx/unit_byte.h"

namespace quillmar::gfx {
namespace {
// floor and ceil for values well inside int range, without a library call (the baseline
// instruction set has no rounding instruction).
inline int floorInt(double v) {
    int i = static_cast<int>(v);
    return i > v ? i - 1 : i;
}
inline int ceilInt(double v) {
    int i = static_cast<int>(v);
    return i < v ? i + 1 : i;
}
}  // namespace

// Above this many bytes of accumulator a mask is accumulated in bands of rows (which gives the
// same coverage): a mask the size of a screen needs no more than this.
constexpr std::size_t kBandBytes = 1u << 18;

void CoverageRasterizer::reset(int x0, int y0, int width, int height) {
    x0_ = x0;
    y0_ = y0;
    w_ = std::max(0, width);
    h_ = std::max(0, height);
    const std::size_t stride = std::size_t(w_ + 2);
    std::size_t need = stride * std::size_t(h_);
    banded_ = need * sizeof(float) > kBandBytes;
    edges_.clear();
    if (banded_) {
        bandRows_ = static_cast<int>(std::max<std::size_t>(1, kBandBytes / sizeof(float) / stride));
        need = stride * std::size_t(bandRows_);
        bandBegin_ = bandEnd_ = 0;
    } else {
        bandBegin_ = 0;
        bandEnd_ = h_;
    }
    if (acc_.size() < need) {
        // Exactly what this mask needs, the old one given back first: growing in place would
        // double the capacity and hold both while copying zeros (the accumulator is all zero here).
        std::vector<float>().swap(acc_);
        acc_.assign(need, 0.0f);
    }
    rowMin_.assign(std::size_t(h_), w_);
    rowMax_.assign(std::size_t(h_), -1);
    rowBlocks_.assign(std::size_t(h_), 0);
    blockShift_ = 3;
    while (((stride - 1) >> blockShift_) >= 64) ++blockShift_;
}

void CoverageRasterizer::accumulateThrough(int y) {
    if (!banded_ || y < bandEnd_) return;
    // Resolving a row zeroes what it read; only the two columns past the right border of a row
    // no one asked for may still hold something.
    const std::size_t stride = std::size_t(w_ + 2);
    for (int r = 0; r < bandEnd_ - bandBegin_; ++r) {
        float* row = acc_.data() + std::size_t(r) * stride;
        row[w_] = row[w_ + 1] = 0.0f;
    }
    bandBegin_ = bandEnd_;
    while (bandBegin_ + bandRows_ <= y) bandBegin_ += bandRows_;
    bandEnd_ = std::min(h_, bandBegin_ + bandRows_);
    for (Edge& e : edges_) walk(e, bandEnd_);
}

void CoverageRasterizer::trim(std::size_t maxBytes) {
    if (acc_.capacity() * sizeof(float) <= maxBytes && (rowMin_.capacity() + rowMax_.capacity()) * sizeof(int) <= maxBytes)
        return;
    std::vector<float>().swap(acc_);
    std::vector<int>().swap(rowMin_);
    std::vector<int>().swap(rowMax_);
    std::vector<std::uint64_t>().swap(rowBlocks_);
    std::vector<Edge>().swap(edges_);
    x0_ = y0_ = w_ = h_ = 0;
    banded_ = false;
    bandBegin_ = bandEnd_ = 0;
}

void CoverageRasterizer::addPolygon(const std::vector<Point>& polygon) {
    if (polygon.empty()) return;
    for (std::size_t k = 1; k < polygon.size(); ++k) addLine(polygon[k - 1], polygon[k]);
    addLine(polygon.back(), polygon.front());
}

void CoverageRasterizer::addLine(Point a, Point b) {
    double ax = a.x - x0_, ay = a.y - y0_, bx = b.x - x0_, by = b.y - y0_;
    if (ay == by || !std::isfinite(ax + ay + bx + by)) return;
    const double right = w_;
    if (ax >= 0 && bx >= 0 && ax <= right && bx <= right) {
        // The usual case: nothing to split or project.
        addClippedLine(ax, ay, bx, by);
        return;
    }
    // Split where the edge crosses the left or right border, and project the parts outside onto
    // it: an edge left of the mask still changes the winding of every pixel to its right.
    double xs[4] = {ax, 0, 0, bx}, ys[4] = {ay, 0, 0, by};
    int n = 1;
    auto crossAt = [&](double border) {
        if ((ax < border) != (bx < border) && ax != bx) {
            double t = (border - ax) / (bx - ax);
            xs[n] = border;
            ys[n] = ay + (by - ay) * t;
            ++n;
        }
    };
    if (ax <= bx) { crossAt(0); crossAt(right); } else { crossAt(right); crossAt(0); }
    xs[n] = bx;
    ys[n] = by;
    for (int i = 0; i < n; ++i)
        addClippedLine(std::clamp(xs[i], 0.0, right), ys[i], std::clamp(xs[i + 1], 0.0, right), ys[i + 1]);
}

void CoverageRasterizer::addClippedLine(double x0, double y0, double x1, double y1) {
    if (y0 == y1) return;
    float dir = 1.0f;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        dir = -1.0f;
    }
    if (y1 <= 0 || y0 >= h_) return;
    const double dxdy = (x1 - x0) / (y1 - y0);
    double x = x0;
    if (y0 < 0) {
        x -= y0 * dxdy;
        y0 = 0;
    }
    // Only the rows of the mask are walked: an end far below it (beyond any int) stops at its edge.
    if (y1 > h_) y1 = h_;
    Edge e{x, y0, y1, dxdy, floorInt(y0), std::min(h_, ceilInt(y1)), dir};
    if (banded_) {
        // Rows already accumulated are behind; the rest waits for its band.
        walk(e, bandEnd_);
        if (e.y < e.yEnd) edges_.push_back(e);
        return;
    }
    walk(e, h_);
}

void CoverageRasterizer::walk(Edge& e, int rowLimit) {
    const int stride = w_ + 2;
    const double y0 = e.y0, y1 = e.y1, dxdy = e.dxdy;
    const float dir = e.dir;
    double x = e.x;
    int y = e.y;
    const int yEnd = std::min(e.yEnd, rowLimit);
    for (; y < yEnd; ++y) {
        double dy = std::min(double(y + 1), y1) - std::max(double(y), y0);
        double xnext = x + dxdy * dy;
        if (y < bandBegin_) {
            // A row of a band already resolved (never so when rows are asked for in order).
            x = xnext;
            continue;
        }
        float* row = acc_.data() + std::size_t(y - bandBegin_) * stride;
        float d = static_cast<float>(dy) * dir;
        // Rounding in the stepping may stray a hair outside the borders the edge was clipped to.
        double xa = std::clamp(std::min(x, xnext), 0.0, double(w_));
        double xb = std::clamp(std::max(x, xnext), 0.0, double(w_));
        if (xa >= w_) {
            // On the right border (a part projected onto it): it adds only past the mask, but the
            // row's coverage runs up to it. Nothing is written, so a row with nothing else, which
            // is never resolved, leaves nothing behind for the next shape.
            rowMax_[y] = std::max(rowMax_[y], w_);
            x = xnext;
            continue;
        }
        int xai = floorInt(xa);
        double xaFloor = xai;
        int xbi = ceilInt(xb);
        double xbCeil = xbi;
        rowMin_[y] = std::min(rowMin_[y], xai);
        rowMax_[y] = std::max(rowMax_[y], std::max(xbi, xai + 1));
        {
            // Columns xai ... max(xbi, xai + 1) are written below.
            const int lo = xai >> blockShift_, hi = std::max(xbi, xai + 1) >> blockShift_;
            rowBlocks_[y] |= (~std::uint64_t{0} >> (63 - hi)) & (~std::uint64_t{0} << lo);
        }
        if (xbi <= xai + 1) {
            // The edge stays within one pixel column on this row.
            double xmf = std::clamp(0.5 * (xa + xb) - xaFloor, 0.0, 1.0);
            row[xai] += d - d * static_cast<float>(xmf);
            row[xai + 1] += d * static_cast<float>(xmf);
        } else {
            double s = 1.0 / (xb - xa);
            double xaf = xa - xaFloor;
            double a0 = 0.5 * s * (1 - xaf) * (1 - xaf);
            double xbf = xb - xbCeil + 1;
            double am = 0.5 * s * xbf * xbf;
            row[xai] += d * static_cast<float>(a0);
            if (xbi == xai + 2) {
                row[xai + 1] += d * static_cast<float>(1 - a0 - am);
            } else {
                double a1 = s * (1.5 - xaf);
                row[xai + 1] += d * static_cast<float>(a1 - a0);
                for (int xi = xai + 2; xi < xbi - 1; ++xi) row[xi] += d * static_cast<float>(s);
                double a2 = a1 + (xbi - xai - 3) * s;
                row[xbi - 1] += d * static_cast<float>(1 - a2 - am);
            }
            row[xbi] += d * static_cast<float>(am);
        }
        x = xnext;
    }
    e.x = x;
    e.y = y;
}

void CoverageRasterizer::resolve(std::uint8_t* out, int stride, bool evenOdd) {
    for (int y = 0; y < h_; ++y) resolveRow(y, out + std::size_t(y) * stride, evenOdd);
}

void CoverageRasterizer::resolveRow(int y, std::uint8_t* o, bool evenOdd) {
    accumulateThrough(y);
    if (rowMax_[y] < 0) return;
    const int accStride = w_ + 2;
    float* row = acc_.data() + std::size_t(y - bandBegin_) * accStride;
    const int begin = rowMin_[y], touched = std::min(accStride, rowMax_[y] + 1), end = std::min(w_, touched);
    float sum = 0;
    int x0 = begin;
#if defined(__SSE2__)
    if (!evenOdd) {
        // Prefix sums four columns at a time: two shifted adds inside the register, plus the
        // running total carried across.
        __m128 carry = _mm_setzero_ps();
        const __m128 absMask = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
        const __m128 one = _mm_set1_ps(1.0f), scale = _mm_set1_ps(255.0f), half = _mm_set1_ps(0.5f);
        for (; x0 + 4 <= end; x0 += 4) {
            __m128 v = _mm_loadu_ps(row + x0);
            if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_castps_si128(v), _mm_setzero_si128())) == 0xFFFF) {
                // No edge crosses these columns: each holds the running total, so the whole run
                // up to the next edge is one value (a panel's inside, or the outside of a shape).
                // Nothing to clear either: the accumulator is zero there already.
                const std::uint64_t blocks = rowBlocks_[y];
                int run = x0 + 4;
                while (run + 4 <= end) {
                    const int block = run >> blockShift_;
                    if (!((blocks >> block) & 1u)) {
                        // No edge wrote to this block: on towards the next one that was written
                        // to, in whole steps of four from x0, so that the sums after the run are
                        // taken in the same groups of four as without the jump (the same rounding).
                        const std::uint64_t later = blocks & (~std::uint64_t{0} << block);
                        const int next = later ? std::min(end, std::countr_zero(later) << blockShift_) : end;
                        if (next - run >= 4) {
                            run += (next - run) / 4 * 4;
                            continue;
                        }
                    }
                    std::uint64_t a, b;
                    std::memcpy(&a, row + run, 8);
                    std::memcpy(&b, row + run + 2, 8);
                    if ((a | b) != 0) break;
                    run += 4;
                }
                __m128 c = _mm_add_ps(_mm_mul_ps(_mm_min_ps(_mm_and_ps(carry, absMask), one), scale), half);
                const int value = _mm_cvtsi128_si32(_mm_cvttps_epi32(c));
                std::memset(o + x0, value, std::size_t(run - x0));
                x0 = run - 4;
                continue;
            }
            _mm_storeu_ps(row + x0, _mm_setzero_ps());
            v = _mm_add_ps(v, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(v), 4)));
            v = _mm_add_ps(v, _mm_castsi128_ps(_mm_slli_si128(_mm_castps_si128(v), 8)));
            v = _mm_add_ps(v, carry);
            carry = _mm_shuffle_ps(v, v, _MM_SHUFFLE(3, 3, 3, 3));
            __m128 c = _mm_add_ps(_mm_mul_ps(_mm_min_ps(_mm_and_ps(v, absMask), one), scale), half);
            __m128i i = _mm_cvttps_epi32(c);
            i = _mm_packs_epi32(i, i);
            i = _mm_packus_epi16(i, i);
            int packed = _mm_cvtsi128_si32(i);
            std::memcpy(o + x0, &packed, 4);
        }
        sum = _mm_cvtss_f32(carry);
    }
#endif
    for (int x = x0; x < end; ++x) {
        float v = row[x];
        if (v == 0.0f && std::fabs(sum) < 1e-4f) {
            // Outside the shape (say the inside of a thin ring): jump to the next edge, eight
            // empty columns at a time.
            sum = 0;
            int next = x + 1;
            while (next + 8 <= end) {
                std::uint64_t a, b, c, d;
                std::memcpy(&a, row + next, 8);
                std::memcpy(&b, row + next + 2, 8);
                std::memcpy(&c, row + next + 4, 8);
                std::memcpy(&d, row + next + 6, 8);
                if ((a | b | c | d) != 0) break;
                next += 8;
            }
            std::memset(o + x, 0, std::size_t(next - x));
            x = next - 1;
            continue;
        }
        sum += v;
        row[x] = 0;
        float c = std::fabs(sum);
        if (evenOdd) {
            c = std::fmod(c, 2.0f);
            if (c > 1.0f) c = 2.0f - c;
        } else if (c > 1.0f) {
            c = 1.0f;
        }
        o[x] = static_cast<std::uint8_t>(roundedChannel(c * 255.0f, 255.0f));
    }
    for (int x = end; x < touched; ++x) row[x] = 0;  // the columns past the right border
}

}  // namespace quillmar::gfx
