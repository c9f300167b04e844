#pragma once
// The short label of a window: its title without the app's name or a browser's name appended
// after a dash, as apps commonly title their windows ("Notes — TextEdit" becomes "Notes").

#include <string>
#include <string_view>

namespace quillmar {

// Trims the title; an empty title, or one equal to the app name, gives the app name. Then, for
// each of the separators " — ", " - " and " – " in turn, strips a trailing separator + app name
// and then each trailing separator + browser name (case ignored), trimming after each cut.
// A title left empty gives the app name.
std::string cleanWindowLabel(std::string_view windowTitle, std::string_view appName);

}  // namespace quillmar
