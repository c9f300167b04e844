#include "gfx/draw_recorder.h"

#include "gfx/text_layout.h"

namespace quillmar::gfx {

DrawRecorder::DrawRecorder(Size canvas, double scale) : canvas_(canvas), scale_(scale) {}

DrawRecord DrawRecorder::base(DrawRecord::Op op, const Shading* shading, const DrawState& state) const {
    DrawRecord r;
    r.op = op;
    if (shading) {
        r.shading = *shading;
        r.shadingKind = shading->kind();
        r.colors = shading->colors();
    }
    r.opacity = state.opacity;
    double effective = state.opacity;
    for (std::size_t idx : openLayers_) effective *= records_[idx].opacity;
    r.effectiveOpacity = effective;
    r.transform = state.transform;
    r.filters = state.filters;
    r.clipped = state.clips && !state.clips->empty();
    r.layerDepth = static_cast<int>(openLayers_.size());
    r.tag = state.tag;
    return r;
}

Rect DrawRecorder::placed(const Rect& r) const {
    Rect out = r;
    for (auto it = openLayers_.rbegin(); it != openLayers_.rend(); ++it)
        if (!records_[*it].layerPlacement.isIdentity()) out = records_[*it].layerPlacement.apply(out);
    return out;
}

void DrawRecorder::fill(const Path& path, const Shading& shading, const FillStyle& style, const DrawState& state) {
    DrawRecord r = base(DrawRecord::Op::fill, &shading, state);
    r.path = path;
    r.bounds = path.boundingRect();
    r.deviceBounds = placed(state.transform.apply(r.bounds));
    r.fillStyle = style;
    records_.push_back(std::move(r));
}

void DrawRecorder::stroke(const Path& path, const Shading& shading, const StrokeStyle& style, const DrawState& state) {
    DrawRecord r = base(DrawRecord::Op::stroke, &shading, state);
    r.path = path;
    r.bounds = path.boundingRect();
    r.deviceBounds = placed(state.transform.apply(r.bounds));
    r.strokeStyle = style;
    records_.push_back(std::move(r));
}

void DrawRecorder::drawText(const TextLayout& layout, Point origin, const Shading& shading, const DrawState& state) {
    DrawRecord r = base(DrawRecord::Op::text, &shading, state);
    r.bounds = Rect{origin, layout.size()};
    r.deviceBounds = placed(state.transform.apply(r.bounds));
    r.text = layout.text();
    r.fontSize = layout.appliedFontSize();
    records_.push_back(std::move(r));
}

void DrawRecorder::drawImage(const Image&, const Rect& rect, const ImageStyle& style, const DrawState& state) {
    DrawRecord r = base(DrawRecord::Op::image, nullptr, state);
    r.bounds = rect;
    r.inMotion = style.inMotion;
    r.deviceBounds = placed(state.transform.apply(rect));
    records_.push_back(std::move(r));
}

void DrawRecorder::beginLayer(const DrawState& state, const std::optional<Rect>& contentBounds) {
    DrawRecord r = base(DrawRecord::Op::beginLayer, nullptr, state);
    r.layerPlacement = state.layerPlacement;
    r.shadowOnly = state.layerShadowOnly;
    records_.push_back(std::move(r));
    openLayers_.push_back(records_.size() - 1);
    if (contentBounds) records_.back().deviceBounds = placed(*contentBounds);
}

void DrawRecorder::endLayer(const DrawState& state) {
    if (!openLayers_.empty()) openLayers_.pop_back();
    records_.push_back(base(DrawRecord::Op::endLayer, nullptr, state));
}

std::vector<DrawRecord> DrawRecorder::ofOp(DrawRecord::Op op) const {
    std::vector<DrawRecord> out;
    for (const DrawRecord& r : records_)
        if (r.op == op) out.push_back(r);
    return out;
}

std::vector<DrawRecord> DrawRecorder::primitives() const {
    std::vector<DrawRecord> out;
    for (const DrawRecord& r : records_)
        if (r.op == DrawRecord::Op::fill || r.op == DrawRecord::Op::stroke) out.push_back(r);
    return out;
}

std::vector<DrawRecord> DrawRecorder::withTag(const std::string& tag) const {
    std::vector<DrawRecord> out;
    for (const DrawRecord& r : records_)
        if (r.tag == tag) out.push_back(r);
    return out;
}

}  // namespace quillmar::gfx
