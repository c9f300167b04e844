#pragma once
// The Switch Bar's window: a floating panel of the platform that never takes keyboard focus or
// becomes the main window, with a hosting view that lays out and draws the bar's content. The
// hosting view always has the panel's size; the content is measured with fittingSize().

#include <memory>
#include <string>
#include <vector>

#include "platform/panel_window.h"
#include "ui/hosting_view.h"

namespace quillmar {

class NonActivatingPanel {
public:
    // The creation parameters of the bar's panel.
    static platform::PanelConfig hudConfig();

    // Null when the platform offers no panels.
    static std::unique_ptr<NonActivatingPanel> create(ui::View root);
    NonActivatingPanel(std::unique_ptr<platform::PanelWindow> window, ui::View root);

    bool canBecomeKeyWindow() const { return false; }
    bool canBecomeMainWindow() const { return false; }

    platform::PanelWindow& window() { return *window_; }
    const platform::PanelWindow& window() const { return *window_; }
    ui::HostingView& contentView() { return host_; }

    platform::Rect frame() const { return window_->frame(); }
    void setFrame(const platform::Rect& frame, bool display, bool animate = false);
    bool isVisible() const { return window_->isVisible(); }
    void setRootView(ui::View root) { host_.setRootView(std::move(root)); }
    // The content's own size (what it asks for when offered nothing in particular).
    platform::Size fittingSize();
    // The scheme the system shows and the accessibility display options, handed to the content.
    void refreshEnvironment(ui::ColorScheme systemScheme);

    // Where the content has a material that blurs what lies behind the window (panel points, as
    // drawn now): the window server blurs the screen under these areas when it composes it.
    std::vector<ui::Rect> behindWindowBlurFrames();

    // What the panel shows now, alpha included.
    gfx::Image renderImage(double scale = 2.0);
    bool writePng(const std::string& path, double scale = 2.0, std::string* error = nullptr);

private:
    std::unique_ptr<platform::PanelWindow> window_;
    ui::HostingView host_;
};

}  // namespace quillmar
