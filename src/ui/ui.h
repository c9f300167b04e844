#pragma once
// The view layer in one include: views, modifiers, stacks, text, images, shapes, canvases,
// controls, scroll views, geometry readers, state, animation and hosting.

#include "ui/accessibility.h"
#include "ui/animation.h"
#include "ui/canvas.h"
#include "ui/controls.h"
#include "ui/environment.h"
#include "ui/geometry_reader.h"
#include "ui/hosting_view.h"
#include "ui/image_view.h"
#include "ui/scroll_view.h"
#include "ui/shape.h"
#include "ui/stack_views.h"
#include "ui/state.h"
#include "ui/text_view.h"
#include "ui/transaction.h"
#include "ui/transition.h"
#include "ui/view.h"
