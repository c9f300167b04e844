#include "gfx/pixel_effects.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "gfx/unit_byte.h"

namespace quillmar::gfx {
namespace {

inline std::uint32_t* rowOf(std::uint32_t* data, int y, int stride) {
    return reinterpret_cast<std::uint32_t*>(reinterpret_cast<std::uint8_t*>(data) + std::size_t(y) * stride);
}

// Box widths of three passes whose combination approximates a Gaussian of `sigma`.
void boxSizes(double sigma, int out[3]) {
    const int n = 3;
    double ideal = std::sqrt(12.0 * sigma * sigma / n + 1.0);
    int wl = static_cast<int>(std::floor(ideal));
    if (wl % 2 == 0) --wl;
    wl = std::max(wl, 1);
    int wu = wl + 2;
    double mIdeal = (12.0 * sigma * sigma - n * wl * wl - 4.0 * n * wl - 3.0 * n) / (-4.0 * wl - 4.0);
    int m = static_cast<int>(std::lround(mIdeal));
    for (int i = 0; i < n; ++i) out[i] = i < m ? wl : wu;
}

// The four 8-bit channels of a pixel spread into the four 16-bit lanes of a 64-bit word, so
// one addition sums all channels at once (a lane holds up to 257 full-alpha pixels).
inline std::uint64_t expand(std::uint32_t p) {
    std::uint64_t v = p;
    return (v & 0xFFu) | ((v & 0xFF00u) << 8) | ((v & 0xFF0000u) << 16) | ((v & 0xFF000000u) << 24);
}

// Divides every lane by the box width (`inv` = 2^16 / width) and packs the result back.
inline std::uint32_t average(std::uint64_t sum, std::uint64_t inv) {
    const std::uint64_t lanes = 0x0000FFFF0000FFFFull, round = 0x0000800000008000ull;
    std::uint64_t even = ((sum & lanes) * inv + round) >> 16;
    std::uint64_t odd = (((sum >> 16) & lanes) * inv + round) >> 16;
    return std::uint32_t((even & 0xFF) | ((odd & 0xFF) << 8) | (((even >> 32) & 0xFF) << 16) |
                         (((odd >> 32) & 0xFF) << 24));
}

constexpr int kMaxWindow = 257;

// One horizontal box pass of radius r (window 2r + 1 <= 257) from `src` into `dst`.
void boxRow(const std::uint32_t* src, std::uint32_t* dst, int w, int r) {
    const std::uint64_t inv = (std::uint64_t(1) << 16) / std::uint64_t(2 * r + 1);
    std::uint64_t sum = 0;
    for (int i = 0; i < std::min(r, w); ++i) sum += expand(src[i]);
    for (int x = 0; x < w; ++x) {
        if (x + r < w) sum += expand(src[x + r]);
        dst[x] = average(sum, inv);
        if (x - r >= 0) sum -= expand(src[x - r]);
    }
}

// One vertical box pass over whole rows at a time (cache friendly): a running sum per column.
void boxColumns(std::uint32_t* data, int w, int h, int stride, int r, std::vector<std::uint32_t>& scratch,
                std::vector<std::uint64_t>& sums) {
    const std::uint64_t inv = (std::uint64_t(1) << 16) / std::uint64_t(2 * r + 1);
    scratch.resize(std::size_t(w) * h);
    for (int y = 0; y < h; ++y) std::copy_n(rowOf(data, y, stride), w, scratch.data() + std::size_t(y) * w);
    sums.assign(std::size_t(w), 0);
    auto src = [&](int y) { return scratch.data() + std::size_t(y) * w; };
    for (int i = 0; i < std::min(r, h); ++i) {
        const std::uint32_t* row = src(i);
        for (int x = 0; x < w; ++x) sums[x] += expand(row[x]);
    }
    for (int y = 0; y < h; ++y) {
        if (y + r < h) {
            const std::uint32_t* in = src(y + r);
            for (int x = 0; x < w; ++x) sums[x] += expand(in[x]);
        }
        std::uint32_t* out = rowOf(data, y, stride);
        for (int x = 0; x < w; ++x) out[x] = average(sums[x], inv);
        if (y - r >= 0) {
            const std::uint32_t* old = src(y - r);
            for (int x = 0; x < w; ++x) sums[x] -= expand(old[x]);
        }
    }
}

void blurFullResolution(std::uint32_t* data, int width, int height, int stride, double sigma) {
    int sizes[3];
    boxSizes(sigma, sizes);
    std::vector<std::uint32_t> line(static_cast<std::size_t>(width));
    std::vector<std::uint32_t> scratch;
    std::vector<std::uint64_t> sums;
    for (int pass = 0; pass < 3; ++pass) {
        int r = (std::min(sizes[pass], kMaxWindow) - 1) / 2;
        if (r <= 0) continue;
        for (int y = 0; y < height; ++y) {
            std::uint32_t* row = rowOf(data, y, stride);
            std::copy_n(row, width, line.data());
            boxRow(line.data(), row, width, r);
        }
    }
    for (int pass = 0; pass < 3; ++pass) {
        int r = (std::min(sizes[pass], kMaxWindow) - 1) / 2;
        if (r <= 0) continue;
        boxColumns(data, width, height, stride, r, scratch, sums);
    }
}

// The reduction factor for a blur of `sigma` (a power of two up to 8), and what is left of the
// blur to do on the reduced copy.
int reductionOf(double sigma) { return sigma >= 32 ? 8 : (sigma >= 10 ? 4 : (sigma >= 3 ? 2 : 1)); }
double reducedSigma(double sigma, int f) { return std::sqrt(std::max(0.04, sigma * sigma - (f * f - 1) / 12.0)) / f; }

// The three box passes' radii added up: how far blurFullResolution spreads a pixel.
int boxReach(double sigma) {
    int sizes[3];
    boxSizes(sigma, sizes);
    int reach = 0;
    for (int size : sizes) reach += std::max(0, (std::min(size, kMaxWindow) - 1) / 2);
    return reach;
}

}  // namespace

int gaussianBlurReach(double sigma) {
    if (!std::isfinite(sigma) || sigma < 0.2) return 0;
    sigma = std::min(sigma, 512.0);
    // Buffers too small to reduce are blurred at full resolution.
    int reach = boxReach(std::min(sigma, 64.0));
    const int f = reductionOf(sigma);
    // Reduced: a result mixes the two reduced rows nearest it, each the blur of whole blocks of
    // f rows; the blocks reached lie within (reduced reach + 1.5) blocks of it.
    if (f > 1) reach = std::max(reach, (boxReach(std::min(reducedSigma(sigma, f), 64.0)) + 2) * f);
    return reach;
}

namespace {

std::uint64_t& blursRun() {
    thread_local std::uint64_t n = 0;
    return n;
}

}  // namespace

std::uint64_t gaussianBlursRun() { return blursRun(); }

void gaussianBlur(std::uint32_t* data, int width, int height, int stride, double sigma) {
    if (!data || width <= 0 || height <= 0 || !std::isfinite(sigma) || sigma < 0.2) return;
    ++blursRun();
    sigma = std::min(sigma, 512.0);
    // A wide blur keeps no detail finer than a few pixels, so it is computed on a copy reduced
    // by 2, 4 or 8 in each direction and scaled back up bilinearly: the same picture at a
    // fraction of the cost.
    const int f = reductionOf(sigma);
    if (f == 1 || width < 2 * f || height < 2 * f) {
        blurFullResolution(data, width, height, stride, std::min(sigma, 64.0));
        return;
    }
    const int dw = (width + f - 1) / f, dh = (height + f - 1) / f;
    std::vector<std::uint32_t> small(std::size_t(dw) * dh);
    const std::uint64_t invArea = (std::uint64_t(1) << 16) / std::uint64_t(f * f);
    std::vector<std::uint64_t> acc(static_cast<std::size_t>(dw));
    for (int by = 0; by < dh; ++by) {
        std::fill(acc.begin(), acc.end(), 0);
        for (int y = by * f; y < std::min(height, by * f + f); ++y) {
            const std::uint32_t* row = rowOf(data, y, stride);
            for (int bx = 0, x = 0; bx < dw; ++bx) {
                std::uint64_t sum = 0;
                for (int end = std::min(width, x + f); x < end; ++x) sum += expand(row[x]);
                acc[bx] += sum;
            }
        }
        std::uint32_t* out = small.data() + std::size_t(by) * dw;
        for (int bx = 0; bx < dw; ++bx) out[bx] = average(acc[bx], invArea);
    }
    // The reduction itself spreads like a box of f pixels; take that variance off the blur.
    const double reduced = reducedSigma(sigma, f);
    blurFullResolution(small.data(), dw, dh, dw * 4, std::min(reduced, 64.0));

    // Bilinear back to full size, separably: each reduced row is widened once (weights in
    // sixteenths, which f <= 8 needs no finer than), then output rows mix two widened rows.
    std::vector<int> sx0(width), sx1(width);
    std::vector<std::uint64_t> wx(width);
    for (int x = 0; x < width; ++x) {
        double p = (x + 0.5) / f - 0.5;
        int i = static_cast<int>(std::floor(p));
        wx[x] = std::uint64_t(std::lround((p - i) * 16));
        sx0[x] = std::clamp(i, 0, dw - 1);
        sx1[x] = std::clamp(i + 1, 0, dw - 1);
    }
    std::vector<std::uint64_t> wideA(width), wideB(width);
    int haveA = -1, haveB = -1;
    auto widen = [&](int row, std::vector<std::uint64_t>& out) {
        const std::uint32_t* r = small.data() + std::size_t(row) * dw;
        for (int x = 0; x < width; ++x) out[x] = expand(r[sx0[x]]) * (16 - wx[x]) + expand(r[sx1[x]]) * wx[x];
    };
    const std::uint64_t low8 = 0x00FF00FF00FF00FFull, round = 0x0080008000800080ull;
    for (int y = 0; y < height; ++y) {
        double p = (y + 0.5) / f - 0.5;
        int i = static_cast<int>(std::floor(p));
        std::uint64_t wy = std::uint64_t(std::lround((p - i) * 16));
        int i0 = std::clamp(i, 0, dh - 1), i1 = std::clamp(i + 1, 0, dh - 1);
        if (haveA != i0) {
            if (haveB == i0) { std::swap(wideA, wideB); std::swap(haveA, haveB); }
            else { widen(i0, wideA); haveA = i0; }
        }
        if (haveB != i1) { widen(i1, wideB); haveB = i1; }
        std::uint32_t* out = rowOf(data, y, stride);
        for (int x = 0; x < width; ++x) {
            std::uint64_t v = ((wideA[x] * (16 - wy) + wideB[x] * wy + round) >> 8) & low8;
            out[x] = std::uint32_t((v & 0xFF) | ((v >> 8) & 0xFF00) | ((v >> 16) & 0xFF0000) | ((v >> 24) & 0xFF000000));
        }
    }
}

void adjustSaturation(std::uint32_t* data, int width, int height, int stride, double s) {
    if (!data || !std::isfinite(s) || s == 1.0) return;
    s = std::max(0.0, s);
    // Luminance-preserving saturation matrix (Rec. 709 weights); linear, so it applies to
    // premultiplied values directly.
    const double m[3][3] = {{0.2126 + 0.7874 * s, 0.7152 - 0.7152 * s, 0.0722 - 0.0722 * s},
                            {0.2126 - 0.2126 * s, 0.7152 + 0.2848 * s, 0.0722 - 0.0722 * s},
                            {0.2126 - 0.2126 * s, 0.7152 - 0.7152 * s, 0.0722 + 0.9278 * s}};
    for (int y = 0; y < height; ++y) {
        std::uint32_t* row = rowOf(data, y, stride);
        for (int x = 0; x < width; ++x) {
            std::uint32_t p = row[x];
            double a = p >> 24;
            if (a == 0) continue;
            double r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            auto q = [a](double v) { return roundedChannel(v, a); };
            std::uint32_t nr = q(m[0][0] * r + m[0][1] * g + m[0][2] * b);
            std::uint32_t ng = q(m[1][0] * r + m[1][1] * g + m[1][2] * b);
            std::uint32_t nb = q(m[2][0] * r + m[2][1] * g + m[2][2] * b);
            row[x] = (p & 0xFF000000u) | (nr << 16) | (ng << 8) | nb;
        }
    }
}

void tintAlpha(std::uint32_t* data, int width, int height, int stride, const Color& tint) {
    if (!data) return;
    for (int y = 0; y < height; ++y) {
        std::uint32_t* row = rowOf(data, y, stride);
        for (int x = 0; x < width; ++x) {
            double a = (row[x] >> 24) / 255.0 * tint.alpha;
            row[x] = premultipliedPixel(tint.red, tint.green, tint.blue, a);
        }
    }
}

}  // namespace quillmar::gfx
