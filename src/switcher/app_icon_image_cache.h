#pragma once
// App icons as drawable images: each platform icon is wrapped once (an image of the drawing layer
// over the icon's own pixels, no copy) and kept while the icon itself is alive, so redraws of the
// bar draw the same image again.

#include <map>
#include <memory>

#include "gfx/image.h"
#include "platform/app_icon.h"
#include "runtime/world.h"

namespace quillmar {

class AppIconImageCache {
public:
    static AppIconImageCache& shared() { return runtime::World::shared<AppIconImageCache>(); }

    // A null image for a null or empty icon. The image's scale makes it iconPoints wide.
    gfx::Image image(const platform::AppIconRef& icon);
    std::size_t size() const { return entries_.size(); }
    std::uint64_t conversionCount() const { return conversions_; }

private:
    struct Entry {
        std::weak_ptr<const platform::AppIcon> icon;
        gfx::Image image;
    };
    std::map<const platform::AppIcon*, Entry> entries_;
    std::uint64_t conversions_ = 0;
};

}  // namespace quillmar
