#pragma once
// The run's index page: DIR/index.html lists every picture of the run in the order written, each
// under its scenario and the scenario's latest note, with its caption, the scenario time and the
// step that wrote it, shown at its natural 1x size and linked to the full-size file. A plain
// static page (no scripts, nothing from outside), so it opens from the file system in any browser.

#include <filesystem>
#include <string>

#include "platform/sim/picture_index.h"

namespace quillmar::platform::sim {

// The page's HTML for the pictures of the index (each shown at the size its writer wrote).
std::string pictureIndexPage(const PictureIndex& index);

// Writes dir/index.html; false (with a reason) when it cannot be written.
bool writePictureIndexPage(const PictureIndex& index, const std::filesystem::path& dir, std::string* error);

// Text made safe for HTML content and attribute values.
std::string escapeHtml(const std::string& text);

}  // namespace quillmar::platform::sim
