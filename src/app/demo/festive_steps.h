#pragma once
// The festive decoration of the Switch Bar on the simulated desktop: the start-up that lays the
// festive overlay over the bar and logs the festive events (perimeter shown or taken down, a burst
// thrown, the last particle gone), and scenario steps that begin a day on a given date in a given
// language, switch Reduce Motion, and picture the Christmas perimeter on its own.

#include "platform/sim/scenario_registry.h"

namespace quillmar {

// Steps:
//   {"do": "festiveDay", "date": "2026-12-25T14:00", "language": "en-US", "timeZone": "Europe/Berlin"}
//       sets the wall clock and the interface language (as a new launch would choose it) and logs
//       the festival of the day; the time zone is optional and kept when absent.
//   {"do": "reduceMotion", "on": true}
//   {"do": "hudAppearance", "style": "lightGlass"}   the Switch Bar's appearance setting
//   {"do": "qaMode", "on": true}      QA mode: each fresh burst moves on to the next festival
//   {"do": "snapshotFestiveArt", "file": "art.png", "caption": "...", "dark": true, "size": 30, "scale": 2}
//       every festival's particle kinds on one sheet: a row per festival in raw-value order, each
//       kind twice (a low and a high seed), as the overlay draws them.
//   {"do": "snapshotChristmasPerimeter", "file": "garland.png", "caption": "...", "dark": false,
//    "width": 520, "height": 124, "cornerRadius": 22, "scale": 2}
//       the perimeter alone on a bar plate of that size and appearance, with the glow trail as it
//       is at that moment.
void registerFestiveSteps(platform::sim::ScenarioRegistry& registry);

// Lays the festive overlay over the Switch Bar and writes the festive events to the run's log.
void startFestiveDemo(platform::sim::StepContext& context);

}  // namespace quillmar
