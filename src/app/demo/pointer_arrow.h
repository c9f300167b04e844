#pragma once
// The pointer as the demo draws it on a picture: the system never draws it into a view, so a
// picture of something that reacts to the pointer would not show where it was. A small arrow,
// black with a white rim (it reads on light and dark scenes), its tip on the given point.

#include <optional>
#include <string>

#include "gfx/graphics_context.h"
#include "ui/hosting_view.h"

namespace quillmar {

void drawPointerArrow(gfx::GraphicsContext& context, gfx::Point tip);

// Writes a hosted view as a PNG (pixels per point `scale`): all of it or only `area` (in its
// points), with the pointer drawn where a step put it. With neither, the view's own picture.
bool writeViewPicture(ui::HostingView& host, const std::string& path, double scale, std::optional<ui::Rect> area,
                      std::optional<ui::Point> pointer, std::string* error);

}  // namespace quillmar
