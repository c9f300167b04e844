#include "windows/switch_target.h"

#include <utility>

#include "windows/window_label.h"

namespace quillmar {

SwitchTarget::SwitchTarget(Fields f)
    : id(std::move(f.id)),
      pid(f.pid),
      bundleIdentifier(std::move(f.bundleIdentifier)),
      windowID(f.windowID),
      appName(std::move(f.appName)),
      windowTitle(std::move(f.windowTitle)),
      appIcon(std::move(f.appIcon)),
      bounds(f.bounds),
      axWindow(std::move(f.axWindow)),
      isAppOnly(f.isAppOnly),
      isMinimizedOrHidden(f.isMinimizedOrHidden),
      hasOpenWindow(f.hasOpenWindow.value_or(!f.isMinimizedOrHidden)) {
    if (f.cleanedWindowTitle) {
        cleanedWindowTitle = std::move(*f.cleanedWindowTitle);
    } else {
        cleanedWindowTitle = isAppOnly ? appName : cleanWindowLabel(windowTitle, appName);
    }
    displayLabel = f.displayLabel ? std::move(*f.displayLabel) : appName;
}

SwitchTarget SwitchTarget::withDisplayLabel(std::string label) const {
    SwitchTarget copy = *this;
    copy.displayLabel = std::move(label);
    return copy;
}

}  // namespace quillmar
