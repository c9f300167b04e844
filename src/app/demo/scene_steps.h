#pragma once
// The seasonal scenes on the demo: contact sheets of any scene renderer and frame sequences of a
// full-window spectacle.
//
// Steps:
//   {"do": "renderSceneSheet", "renderer": "fireworksWindow", "file": "fireworks.png",
//    "caption": "...", "progress": [0.1, 0.35, 0.6, 0.85], "width": 480, "height": 592,
//    "scale": 1, "theme": "christmasSpectacle", "pointer": [240, 300]}
//     One cell per progress, dark and light: tall canvases in two rows (dark above, light
//     below), wide ones (the card's dissolves) one progress a row, dark on the left. Marks take no progress: each
//     cell shows variant = column with intensity sin(pi * progress). "theme" only for marks;
//     "pointer" (canvas points) holds the pointer still there while the sheet is drawn.
//   {"do": "renderSceneFrames", "renderer": "christmasWindow", "file": "christmas_%03d.png",
//    "caption": "...", "frames": 24, "from": 0, "to": 1, "dark": true, "scale": 1}
//     One PNG per frame, progress spread evenly from "from" to "to".
// Renderer names: fireworksWindow, christmasWindow, halloweenWindow, stPatricksWindow,
// easterMeadowDissolve, fireworksDissolve, halloweenDissolve, autumnHarvestOakDissolve,
// christmasDissolve, springMeadowDissolve, summerStarlightDissolve, winterAuroraHearthDissolve,
// natureMark, winterMark.

#include "platform/sim/scenario_registry.h"

namespace quillmar {

void registerSceneSteps(platform::sim::ScenarioRegistry& registry);

}  // namespace quillmar
