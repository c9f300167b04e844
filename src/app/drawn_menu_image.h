#pragma once
// A drawn image (the logo) handed to the platform's menus, status-bar buttons and application
// icon, which take images without knowing how they are drawn. Whoever shows one draws it through
// drawnImage().

#include <memory>

#include "brand/drawn_image.h"
#include "platform/menu.h"

namespace quillmar {

class DrawnMenuImage final : public platform::MenuImage {
public:
    explicit DrawnMenuImage(std::shared_ptr<const DrawnImage> image) : image_(std::move(image)) {}

    static platform::MenuImageRef wrap(std::shared_ptr<const DrawnImage> image) {
        if (!image) return nullptr;
        return std::make_shared<DrawnMenuImage>(std::move(image));
    }

    double width() const override { return image_->size().width; }
    double height() const override { return image_->size().height; }
    bool isTemplate() const override { return image_->isTemplate(); }
    const DrawnImage& drawnImage() const { return *image_; }

private:
    std::shared_ptr<const DrawnImage> image_;
};

}  // namespace quillmar
