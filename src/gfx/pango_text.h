#pragma once
// The one Pango context that lays out all text of the main thread: 72 dpi (one point per unit),
// no hinting of metrics or outlines, so a layout measures the same at every scale factor.

typedef struct _PangoContext PangoContext;

namespace quillmar::gfx {

PangoContext* pangoTextContext();

}  // namespace quillmar::gfx
