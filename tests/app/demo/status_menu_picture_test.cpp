// The status menu as drawn for the demo: appearance, check marks, greyed rows and an open
// submenu, checked on the pixels.

#include "app/demo/status_menu_picture.h"
#include "gfx/color.h"
#include "support/fresh_world.h"

namespace quillmar::testing {
namespace {

class StatusMenuPictureTest : public FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        menu.addItem("Status line", "", nullptr).isEnabled = false;
        menu.addItem("Checked toggle", "toggle", [](platform::MenuItem&) {}).state = 1;
        menu.addItem("Plain toggle", "toggle", [](platform::MenuItem&) {}, "e");
        menu.addSeparator();
        auto sub = std::make_shared<platform::Menu>();
        sub->addItem("Inner choice", "choose", [](platform::MenuItem&) {}).state = 1;
        menu.addItem("Submenu", "", nullptr).submenu = sub;
    }

    static double luminance(const gfx::Color& c) { return 0.2126 * c.red + 0.7152 * c.green + 0.0722 * c.blue; }

    // The darkest (or, in dark menus, brightest) ink inside a rectangle of the picture, in points.
    static double inkContrast(const gfx::Image& img, const gfx::Rect& r, double scale, double background) {
        double best = 0;
        for (int y = static_cast<int>(r.y * scale); y < static_cast<int>(r.maxY() * scale); ++y)
            for (int x = static_cast<int>(r.x * scale); x < static_cast<int>(r.maxX() * scale); ++x)
                best = std::max(best, std::abs(luminance(img.pixel(x, y)) - background));
        return best;
    }

    platform::Menu menu;
};

TEST_F(StatusMenuPictureTest, RowsChecksAndGreyedTextInBothAppearances) {
    for (bool dark : {false, true}) {
        SCOPED_TRACE(dark ? "dark" : "light");
        StatusMenuPictureOptions options;
        options.dark = dark;
        const auto image = StatusMenuPicture::render(nullptr, menu, options);
        const auto where = StatusMenuPicture::place(menu, options);
        const auto rows = StatusMenuPicture::layout(menu).rows;
        auto row = [&](std::size_t i) { return rows[i].offsetBy(where.menu.x, where.menu.y); };
        const double s = options.scale;

        const double panel = luminance(image.pixel(static_cast<int>((where.menu.x + 3) * s),
                                                   static_cast<int>(row(3).midY() * s)));
        EXPECT_EQ(panel < 0.3, dark);

        auto checkColumn = [&](std::size_t i) { return gfx::Rect{row(i).x + 4, row(i).y, 18, row(i).height}; };
        auto titleArea = [&](std::size_t i) { return gfx::Rect{row(i).x + 26, row(i).y, 80, row(i).height}; };
        EXPECT_GT(inkContrast(image, checkColumn(1), s, panel), 0.5);   // checked
        EXPECT_LT(inkContrast(image, checkColumn(2), s, panel), 0.05);  // not checked
        const double enabled = inkContrast(image, titleArea(2), s, panel);
        const double disabled = inkContrast(image, titleArea(0), s, panel);
        EXPECT_GT(enabled, 0.6);
        EXPECT_GT(disabled, 0.1);
        EXPECT_LT(disabled, enabled * 0.6);
        // The key equivalent sits at the trailing end of its row.
        EXPECT_GT(inkContrast(image, {row(2).maxX() - 40, row(2).y, 30, row(2).height}, s, panel), 0.2);
    }
}

TEST_F(StatusMenuPictureTest, AnOpenSubmenuHighlightsItsRowAndHangsBesideIt) {
    StatusMenuPictureOptions options;
    options.openSubmenu = "Submenu";
    const auto where = StatusMenuPicture::place(menu, options);
    ASSERT_TRUE(where.submenu);
    EXPECT_GE(where.submenu->x, where.menu.maxX() - 4);
    const auto rows = StatusMenuPicture::layout(menu).rows;
    const auto parentRow = rows[4].offsetBy(where.menu.x, where.menu.y);
    EXPECT_NEAR(where.submenu->y + 5, parentRow.y, 0.5);  // first inner row level with its parent

    const auto image = StatusMenuPicture::render(nullptr, menu, options);
    const auto highlight = image.pixel(static_cast<int>((parentRow.x + 12) * options.scale),
                                       static_cast<int>(parentRow.midY() * options.scale));
    EXPECT_GT(highlight.blue, highlight.red + 0.4);  // the accent colour
    EXPECT_GE(image.pixelWidth(), static_cast<int>(where.submenu->maxX() * options.scale));
}

}  // namespace
}  // namespace quillmar::testing
