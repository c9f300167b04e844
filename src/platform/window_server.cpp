#include "platform/window_server.h"

namespace quillmar::platform {

std::optional<std::vector<WindowInfo>> WindowServer::windowListOfProcess(WindowListOption options, std::int32_t pid) const {
    auto all = windowList(options);
    if (!all) return std::nullopt;
    std::vector<WindowInfo> out;
    for (auto& w : *all)
        if (w.int32(WindowKey::ownerPID) == pid) out.push_back(std::move(w));
    return out;
}

}  // namespace quillmar::platform
