#pragma once
// What the files of CairoBackend share and nothing else needs: limits, conversions to Cairo, the
// per-thread working buffers and the pixel hash that keyed caches are checked by.

#include <cairo.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gfx/affine_transform.h"
#include "gfx/coverage_rasterizer.h"
#include "gfx/geometry.h"

namespace quillmar::gfx::cairo_internal {

// Curves are cut into lines no further than this from the true curve, in device pixels.
constexpr double kFlatness = 0.2;

// Cairo keeps device coordinates in 24.8 fixed point; stay well inside it.
constexpr double kCoordLimit = 4.0e6;

inline cairo_matrix_t toCairo(const AffineTransform& t) {
    cairo_matrix_t m;
    cairo_matrix_init(&m, t.a, t.b, t.c, t.d, t.tx, t.ty);
    return m;
}

struct SurfaceData {
    std::uint32_t* data;
    int w, h, stride;
};

// Working buffers for one draw call at a time, kept per thread: a new target every frame would
// otherwise allocate them afresh, and buffers the size of a panel are fresh pages to fault in.
// When a target is done, whatever grew past kKeptScratchBytes is given back: the largest shape
// ever drawn (a whole screen) does not keep its memory for the frames after it.
constexpr std::size_t kKeptScratchBytes = 1u << 20;

struct Scratch {
    CoverageRasterizer rasterizer;
    std::vector<std::uint8_t> mask, rowCoverage;
    std::vector<std::vector<Point>> polygons, pieces;

    void trim(std::size_t keep = kKeptScratchBytes) {
        rasterizer.trim(keep);
        for (auto* v : {&mask, &rowCoverage})
            if (v->capacity() > keep) std::vector<std::uint8_t>().swap(*v);
        for (auto* list : {&polygons, &pieces}) {
            std::size_t bytes = list->capacity() * sizeof(std::vector<Point>);
            for (const auto& poly : *list) bytes += poly.capacity() * sizeof(Point);
            if (bytes > keep) std::vector<std::vector<Point>>().swap(*list);
        }
    }
};

inline Scratch& scratch() {
    thread_local Scratch s;
    return s;
}

// Counts releaseKeptBuffers() calls on this thread: clip masks kept from before the last one
// are dropped when next looked for.
inline thread_local std::uint64_t keptBuffersReleased = 0;

// The hash of 32-bit pixels, rows packed (the padding at the end of a row left out).
std::uint64_t hashPixels(const void* data, int width, int height, int stride);

// a × b / 255, rounded; exact when either is 0 or 255.
inline std::uint8_t mulCoverage(std::uint8_t a, std::uint8_t b) {
    unsigned t = unsigned(a) * unsigned(b) + 128u;
    return static_cast<std::uint8_t>((t + (t >> 8)) >> 8);
}

inline SurfaceData dataOf(cairo_surface_t* s) {
    cairo_surface_flush(s);
    return {reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(s)), cairo_image_surface_get_width(s),
            cairo_image_surface_get_height(s), cairo_image_surface_get_stride(s)};
}

// Drops the filtered layers kept for later frames (cairo_backend_layers.cpp).
void releaseFilteredLayers();

}  // namespace quillmar::gfx::cairo_internal
