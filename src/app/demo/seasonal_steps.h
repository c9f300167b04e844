#pragma once
// The easter egg of the About card on the simulated desktop: taps on its icon and emblem, the
// pointer moving through it, QA mode, and snapshots in light and dark appearance. The steps act
// on the settings window when it is open (its About tab shows the card); "openAboutCard" opens
// a stand-alone window with the card and the window-wide spectacle instead.
//
// Steps:
//   {"do": "openAboutCard", "at": [x, y]}          the window's top-left corner on the screen
//                                                  (global, bottom-left origin); default [520, 760]
//   {"do": "tapAboutIcon", "times": 3, "interval": 0.3}
//   {"do": "tapAboutEmblem", "times": 1, "interval": 0.3}
//   {"do": "moveAboutPointer", "from": [x, y], "to": [x, y], "seconds": 0.6}
//                                                  points from the card's top-left corner (the
//                                                  pointer may leave the card)
//   {"do": "aboutQAMode", "on": true}              QA mode on or off (as the status menu does)
//   {"do": "clickAboutQABadge"}
//   {"do": "snapshotAbout", "file": "a.png", "caption": "...", "dark": false, "scale": 2}
//   {"do": "closeAboutCard"}                       the stand-alone window closes (its animations stop)
// Each tap, unlock and haptic is written to the run's log.

#include "platform/sim/scenario_registry.h"

namespace quillmar {

void registerSeasonalSteps(platform::sim::ScenarioRegistry& registry);

}  // namespace quillmar
