// The accessibility tree of a small screen: one element per cell with label, traits and a
// default action; a toggle and a slider with values.

#include <gtest/gtest.h>

#include "support/fresh_world.h"
#include "ui/ui.h"

namespace quillmar::ui {
namespace {

class AccessibilityTest : public quillmar::testing::FreshWorldTest {};

TEST_F(AccessibilityTest, SmallScreenExposesCellsControlsAndActions) {
    struct Model : runtime::ObservableObject {
        runtime::Published<int> selected{1, this};
        runtime::Published<bool> enabled{true, this};
        runtime::Published<double> speed{1.0, this};
    } m;
    std::vector<int> committed;
    struct Screen {
        Model* m;
        std::vector<int>* committed;
        View body() const {
            observe(*m);
            std::vector<std::string> apps{"Safari", "Mail", "Notes"};
            auto* c = committed;
            return VStack(
                {HStack({ForEach(apps, [](const std::string& a) { return a; },
                                [&](std::size_t i, const std::string& a) {
                                    const bool sel = static_cast<int>(i) == m->selected.get();
                                    return VStack({Image::systemName("app.fill"), Text(a)})
                                        .accessibilityElement(AccessibilityChildBehavior::ignore)
                                        .accessibilityLabel(a)
                                        .accessibilityAddTraits(sel ? AccessibilityTraits::isButton() | AccessibilityTraits::isSelected()
                                                                    : AccessibilityTraits::isButton())
                                        .accessibilityAction([c, i] { c->push_back(static_cast<int>(i)); });
                                })}),
                 Toggle("Enable", bind(m->enabled)).labelsHidden(),
                 Slider(bind(m->speed), 0.5, 2.5, 0.1).accessibilityLabel("Scrub Speed"),
                 Text("Decoration").accessibilityHidden(),
                 Button("Grant Access…", [] {}).buttonStyle(ButtonStyle::borderedProminent).disabled(true)});
        }
    };
    HostingView host(Screen{&m, &committed}, {300, 200});
    const auto tree = host.accessibilityTree();
    const auto* mail = tree.find("Mail");
    ASSERT_NE(mail, nullptr);
    EXPECT_TRUE(mail->traits.contains(AccessibilityTraits::isSelected()));
    EXPECT_TRUE(mail->children.empty());
    EXPECT_FALSE(tree.find("Safari")->traits.contains(AccessibilityTraits::isSelected()));
    EXPECT_TRUE(tree.find("Notes")->performDefaultAction());
    EXPECT_EQ(committed, (std::vector<int>{2}));

    const auto* toggle = tree.find("Enable");
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(toggle->role, "toggle");
    EXPECT_EQ(toggle->value, "1");
    toggle->performDefaultAction();
    EXPECT_FALSE(m.enabled.get());

    const auto* slider = tree.find("Scrub Speed");
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->role, "slider");
    slider->increment();
    EXPECT_DOUBLE_EQ(m.speed.get(), 1.1);

    EXPECT_EQ(tree.find("Decoration"), nullptr);
    const auto* grant = tree.find("Grant Access…");
    ASSERT_NE(grant, nullptr);
    EXPECT_EQ(grant->role, "button");
    EXPECT_FALSE(grant->isEnabled);
    EXPECT_FALSE(grant->performDefaultAction());

    // Frames are in window coordinates and follow the layout.
    EXPECT_TRUE(Rect(0, 0, 300, 200).contains(mail->frame.center()));
    EXPECT_LT(tree.find("Safari")->frame.x, mail->frame.x);
}

TEST_F(AccessibilityTest, TreeReadsAsAnOutlineAndCombinesLabels) {
    auto card = VStack({Text("Close 1 Window").accessibilityAddTraits(AccessibilityTraits::isHeader()),
                        HStack({Image::systemName("power"), Text("Quit"), Text("Whole App")})
                            .accessibilityElement(AccessibilityChildBehavior::combine)
                            .accessibilityIdentifier("quit"),
                        VStack({Text("Row A"), Text("Row B")})
                            .accessibilityElement(AccessibilityChildBehavior::contain)
                            .accessibilityLabel("Rows"),
                        Toggle("Quick Close & Quit keys", Binding<bool>::constant(false)).labelsHidden()});
    HostingView host(card, {300, 200});
    const auto tree = host.accessibilityTree();
    EXPECT_EQ(tree.describe(),
              "window\n"
              "  text \"Close 1 Window\" [header]\n"
              "  group \"Quit, Whole App\"\n"
              "  group \"Rows\"\n"
              "    text \"Row A\"\n"
              "    text \"Row B\"\n"
              "  toggle \"Quick Close & Quit keys\" value=\"0\" (action)\n");
    EXPECT_NE(tree.findIdentifier("quit"), nullptr);
}

}  // namespace
}  // namespace quillmar::ui
