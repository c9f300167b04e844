#include "seasonal/about_identity_card_view.h"

#include <cmath>

#include "brand/logo_image.h"
#include "localization/app_language.h"
#include "localization/l10n.h"
#include "runtime/main_loop.h"
#include "runtime/wall_clock.h"
#include "runtime/world.h"
#include "seasonal/artisan_collector_pin_view.h"
#include "seasonal/artisan_dissolve_canvas_view.h"
#include "seasonal/artisan_hanko_seal_view.h"
#include "seasonal/artisan_icon_hint_canvas_view.h"
#include "seasonal/artisan_window_spectacle_host_view.h"
#include "settings/switcher_links.h"
#include "ui/canvas.h"
#include "ui/controls.h"
#include "ui/geometry_reader.h"
#include "ui/shape.h"
#include "ui/stack_views.h"
#include "ui/state.h"
#include "ui/text_view.h"

namespace quillmar {

namespace {

using gfx::Color;
using gfx::Font;
using gfx::FontWeight;

const Color kGoldBorder(0.90, 0.73, 0.28);
const Color kOrange(1.0, 0.584, 0.0);  // the system orange

ui::View appIcon(const SeasonalEasterEgg& egg, int burstLevel, double pressScale) {
    const auto icon = LogoImage::makeAppIcon(128, false);
    const bool strong = burstLevel >= 2;
    return ui::Canvas([icon](gfx::GraphicsContext& context, ui::Size size) {
               if (icon) icon->draw(context, {0, 0, size.width, size.height});
           })
        .frame(48, 48)
        .shadow(egg.touchTintColor.withAlpha(strong ? 0.48 : 0.30), strong ? 10 : 8, 0, 4)
        .scaleEffect(pressScale)
        .animation(ui::Animation::spring(0.22, 0.64, 0), pressScale)
        .named("aboutCardIcon");
}

}  // namespace

AboutCardHost& AboutCardHost::shared() { return runtime::World::shared<AboutCardHost>(); }

double AboutIdentityCardView::iconPressScale(std::optional<double> tapBurstProgress, int tapBurstLevel,
                                             std::optional<double> dissolveProgress) {
    if (tapBurstProgress && *tapBurstProgress < 0.24) return tapBurstLevel >= 2 ? 0.92 : 0.95;
    if (dissolveProgress && *dissolveProgress < 0.10) return 0.91;
    return 1.0;
}

void AboutIdentityCardView::turnOffQAMode(ArtisanCraftState& artisan) {
    SwitcherSettings::shared().setQAMode(false);
    artisan.stopHint();
    artisan.stopTapBurst();
    artisan.stopDissolve();
    if (artisan.activeEasterEgg.get()) artisan.activeEasterEgg = std::nullopt;
}

ui::View AboutIdentityCardView::identityRow(const SeasonalEasterEgg& egg) const {
    const bool dark = palette.isDark;
    const double scale =
        iconPressScale(artisan->tapBurstProgress.get(), artisan->tapBurstLevel.get(), artisan->dissolveProgress.get());

    ui::ViewList nameRow;
    nameRow.push_back(ui::Text("Quillmar")
                          .font(Font::system(15.5, FontWeight::semibold))
                          .foregroundStyle(ui::ShapeStyle::primary())
                          .lineLimit(1));
    nameRow.push_back(ui::Text("v" + SwitcherLinks::displayAppVersion())
                          .font(Font::system(11, FontWeight::medium).monospacedDigit())
                          .foregroundStyle(ui::ShapeStyle::secondary())
                          .padding(EdgeInsets{1.5, 6.5, 1.5, 6.5})
                          .background(ui::Capsule().fill(Color(0, 0, 0, dark ? 0.28 : 0.06)))
                          .named("aboutCardVersion"));
    if (settings->qaModeEnabled.get()) {
        ArtisanCraftState* craft = artisan;
        nameRow.push_back(ui::Button([craft] { turnOffQAMode(*craft); },
                                     ui::Text("QA ×")
                                         .font(Font::system(10.5, FontWeight::semibold).monospacedDigit())
                                         .foregroundColor(kOrange)
                                         .padding(EdgeInsets{1.5, 6.5, 1.5, 6.5})
                                         .background(ui::Capsule().fill(kOrange.opacity(0.15)))
                                         .overlay(ui::Capsule().stroke(kOrange.opacity(0.45), 0.6)))
                              .buttonStyle(ui::ButtonStyle::plain)
                              .help("Click to turn off QA Mode and return to User Version")
                              .named("aboutCardQABadge"));
    }
    const Color chipInk = dark ? Color(0.98, 0.86, 0.52) : Color(0.58, 0.40, 0.06);
    const Color chipGold(0.92, 0.74, 0.26);
    nameRow.push_back(ui::Text(egg.badgeTitle)
                          .font(Font::system(10.5, FontWeight::medium))
                          .foregroundColor(chipInk)
                          .lineLimit(1)
                          .minimumScaleFactor(0.82)
                          .padding(EdgeInsets{1.5, 7, 1.5, 7})
                          .background(ui::Capsule().fill(chipGold.opacity(dark ? 0.16 : 0.13)))
                          .overlay(ui::Capsule().stroke(chipGold.opacity(0.42), 0.6))
                          .named("aboutCardTitleChip"));

    const ui::View textColumn =
        ui::VStack(ui::HorizontalAlignment::leading, 3,
                   {ui::HStack(ui::VerticalAlignment::center, 6, std::move(nameRow)),
                    ui::Text(L10n::aboutAppSummary())
                        .font(Font::system(12))
                        .foregroundStyle(ui::ShapeStyle::secondary())
                        .lineLimit(1)
                        .minimumScaleFactor(0.86)});

    return ui::HStack(ui::VerticalAlignment::center, 13,
                      {appIcon(egg, artisan->tapBurstLevel.get(), scale), textColumn})
        .contentShape(ui::Rectangle());
}

ui::View AboutIdentityCardView::emblem(const SeasonalEasterEgg& egg) const {
    if (const auto* pin = egg.emblem.pin())
        return ArtisanCollectorPinView{pin->motif, palette.isDark, artisan->dissolveProgress.get()};
    const auto* seal = egg.emblem.seal();
    return ArtisanHankoSealView{seal->right, seal->left, palette.isDark, artisan->dissolveProgress.get()};
}

ui::View AboutIdentityCardView::body() const {
    ui::observe(*artisan);
    ui::observe(*settings);
    const bool dark = palette.isDark;
    const SeasonalEasterEgg today = SeasonalEasterEgg::forDate(runtime::WallClock::shared().now(), AppLanguage::current());
    const SeasonalEasterEgg egg = artisan->activeEasterEgg.get().value_or(today);
    ArtisanCraftState* craft = artisan;
    SwitcherSettings* prefs = settings;

    const ui::View identityButton =
        ui::Button([craft, prefs] { craft->handleIconTap(prefs->hapticFeedback.get()); }, identityRow(egg))
            .buttonStyle(ui::ButtonStyle::plain);
    const ui::View emblemButton =
        ui::Button([craft, prefs] { craft->handleEmblemTap(prefs->hapticFeedback.get()); },
                   emblem(egg).contentShape(ui::Rectangle()))
            .buttonStyle(ui::ButtonStyle::plain)
            .named("aboutCardEmblem");

    const ui::View background = ui::GeometryReader([craft, dark](const ui::GeometryProxy& proxy) {
        const Rect frame = proxy.frame(ui::CoordinateSpace::named("settingsWindowSpace"));
        return ui::RoundedRectangle(12).fill(Color(1, 1, 1, dark ? 0.048 : 0.76)).onAppear([craft, frame] {
            craft->setAboutCardOriginInWindow({frame.minX(), frame.minY()});
        });
    });

    const auto hint = artisan->hintProgress.get();
    const auto burst = artisan->tapBurstProgress.get();
    const ui::View hintOverlay =
        ui::when(hint.has_value() || burst.has_value(), [&] {
            return ui::View(ArtisanIconHintCanvasView{egg, dark, hint, artisan->tapBurstLevel.get(), burst})
                .allowsHitTesting(false);
        });
    const auto dissolve = artisan->dissolveProgress.get();
    const ui::View dissolveOverlay =
        ui::when(dissolve.has_value() && !ArtisanWindowSpectacleHostView::playsAcrossWindow(egg.canvasTheme), [&] {
            return ui::View(ArtisanDissolveCanvasView{egg, dissolve.value_or(0), dark}).allowsHitTesting(false);
        });

    return ui::HStack(ui::VerticalAlignment::center, 13, {identityButton, ui::Spacer(4), emblemButton})
        .padding(12)
        .background(background)
        .overlay(hintOverlay)
        .overlay(dissolveOverlay)
        .clipShape(ui::RoundedRectangle(12))
        .overlay(ui::RoundedRectangle(12).strokeBorder(kGoldBorder.opacity(dark ? 0.42 : 0.48), 1))
        .onAppear([craft] {
            runtime::MainLoop::main().post([craft] {
                const auto& host = AboutCardHost::shared();
                if (host.windowVisible() && host.aboutTabActive()) craft->startHint();
            });
        })
        .onDisappear([craft] {
            runtime::MainLoop::main().post([craft] {
                if (AboutCardHost::shared().aboutTabActive()) return;
                craft->stopHint();
                craft->stopTapBurst();
                craft->stopDissolve();
            });
        })
        .named("aboutCard");
}

}  // namespace quillmar
