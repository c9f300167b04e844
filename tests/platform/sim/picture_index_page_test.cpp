// The run's index page: exactly the pictures written, in order, grouped by scenario and note,
// captions shown as text, pictures not taken said so.

#include "platform/sim/picture_index_page.h"

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "gfx/image.h"
#include "platform/sim/scenario_runner.h"
#include "support/fresh_world.h"
#include "support/temp_path.h"

namespace quillmar::platform::sim {
namespace {

namespace fs = std::filesystem;

class PictureIndexPageTest : public testing::FreshWorldTest {
protected:
    void SetUp() override {
        FreshWorldTest::SetUp();
        dir = quillmar::testing::uniqueTempPath("pictures");
        fs::create_directories(dir);
        // A step that writes a small PNG of the requested size (in pixels).
        runner.registry().registerStep("paint", [](ScenarioFields& f, StepContext* ctx) {
            auto file = f.string("file");
            auto caption = f.string("caption", Need::optional);
            auto fail = f.boolean("fail", Need::optional);
            auto scale = f.number("scale", Need::optional, 1, 4);
            if (!ctx || !file) return;
            if (fail.value_or(false)) {
                ctx->pictureUnavailable("painted", *file, caption.value_or(""), "the panel is not shown");
                return;
            }
            auto image = gfx::Image::create(40, 20, 2.0);
            ctx->writePicture(
                "painted", *file, caption.value_or(""),
                [&](const std::string& path, std::string* error) { return image.writePng(path, error); },
                {{"size", 40}}, scale.value_or(2));
        });
    }
    void TearDown() override {
        fs::remove_all(dir);
        FreshWorldTest::TearDown();
    }
    fs::path scenario(const std::string& name, const std::string& text) {
        auto p = dir / name;
        std::ofstream(p) << text;
        return p;
    }
    std::string page() {
        std::ifstream in(dir / "out" / "index.html");
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }

    ScenarioRunner runner;
    fs::path dir;
};

TEST_F(PictureIndexPageTest, ListsExactlyThePicturesOfEveryScenarioInOrder) {
    auto a = scenario("a.json", R"({"description": "First <desktop> & \"friends\"", "apps": [], "steps": [
        {"do": "paint", "file": "one.png", "caption": "Bar <b>bold</b> & 'quoted'"},
        {"do": "note", "text": "Later"},
        {"do": "advance", "seconds": 1.5},
        {"do": "paint", "file": "sub/two.png", "caption": "Second"},
        {"do": "paint", "file": "three.png", "caption": "Missing", "fail": true}]})");
    auto b = scenario("b.json", R"({"apps": [], "steps": [{"do": "paint", "file": "four me.png", "scale": 1}]})");
    std::ostringstream out, err;
    ASSERT_EQ(runner.run(std::vector<std::string>{a.string(), b.string()}, dir / "out", out, err), 0) << err.str();
    const std::string html = page();

    // Every picture once, in the order written; nothing else.
    std::regex img(R"re(<img src="([^"]+)")re");
    std::vector<std::string> sources;
    for (auto it = std::sregex_iterator(html.begin(), html.end(), img); it != std::sregex_iterator(); ++it)
        sources.push_back((*it)[1]);
    EXPECT_EQ(sources, (std::vector<std::string>{"one.png", "sub/two.png", "four%20me.png"}));
    for (const auto& s : {"one.png", "sub/two.png", "four me.png"}) EXPECT_TRUE(fs::exists(dir / "out" / s)) << s;

    // Captions and headings are text, not markup.
    EXPECT_NE(html.find("Bar &lt;b&gt;bold&lt;/b&gt; &amp; &#39;quoted&#39;"), std::string::npos);
    EXPECT_EQ(html.find("<b>bold"), std::string::npos);
    EXPECT_NE(html.find("<h2 id=\"scenario-1\">First &lt;desktop&gt; &amp; &quot;friends&quot; <a"), std::string::npos);
    EXPECT_LT(html.find("<h3 id=\"scenario-1-note-1\">Later</h3>"), html.find("<img src=\"sub/two.png"));
    // Shown at 1x: a 40x20 px picture written at 2x is 20x10 on the page.
    EXPECT_NE(html.find(R"re(<img src="one.png" alt="Bar &lt;b&gt;bold&lt;/b&gt; &amp; &#39;quoted&#39;" width="20" height="10">)re"),
              std::string::npos);
    // A picture written at 1x is shown at its pixel size.
    EXPECT_NE(html.find(R"re(<img src="four%20me.png" alt="four me.png" width="40" height="20">)re"), std::string::npos);
    // The log has each picture once, with its own fields, whether it was written and why not.
    const std::string log = out.str();
    EXPECT_NE(log.find(R"("event":"painted","file":"one.png","size":40,"written":true})"), std::string::npos) << log;
    EXPECT_NE(log.find(R"("event":"painted","file":"three.png","written":false,"reason":"the panel is not shown"})"),
              std::string::npos);
    // The step number and the scenario time of each picture.
    EXPECT_NE(html.find("step 4, t = 1.50 s"), std::string::npos);
    // A picture the scenario's state did not allow reads as such, and counts as no picture.
    EXPECT_NE(html.find("<figure class=\"refused\"><p>Not taken: the panel is not shown"), std::string::npos);
    EXPECT_NE(html.find("Missing"), std::string::npos);
    EXPECT_NE(html.find("<h1>Quillmar demo: 3 pictures</h1>"), std::string::npos);
    EXPECT_NE(html.find("a.json, 2 pictures<"), std::string::npos) << html;
    // Plain static page.
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_EQ(html.find("http"), std::string::npos);
}

TEST_F(PictureIndexPageTest, ContentsLinkEverySectionAndNoteInPageOrder) {
    auto a = scenario("a.json", R"({"description": "Alpha", "apps": [], "steps": [
        {"do": "paint", "file": "a1.png"},
        {"do": "note", "text": "Lit"},
        {"do": "paint", "file": "a2.png"},
        {"do": "note", "text": "Dark"},
        {"do": "paint", "file": "a3.png"},
        {"do": "paint", "file": "a4.png"}]})");
    auto none = scenario("none.json", R"({"description": "No pictures", "apps": []})");
    auto b = scenario("b.json", R"({"apps": [], "steps": [
        {"do": "note", "text": "Lit"}, {"do": "paint", "file": "b1.png"}]})");
    std::ostringstream out, err;
    ASSERT_EQ(runner.run(std::vector<std::string>{a.string(), none.string(), b.string()}, dir / "out", out, err), 0)
        << err.str();
    const std::string html = page();
    const auto contentsEnd = html.find("</nav>");
    ASSERT_NE(contentsEnd, std::string::npos);
    const std::string contents = html.substr(0, contentsEnd);

    // Every link in the contents names a heading of the page, in the order the page shows them,
    // and every section and note heading is linked once.
    std::regex link(R"re(<a href="#([^"]+)">([^<]*)</a>)re");
    std::vector<std::string> linked, titles;
    for (auto it = std::sregex_iterator(contents.begin(), contents.end(), link); it != std::sregex_iterator(); ++it) {
        linked.push_back((*it)[1]);
        titles.push_back((*it)[2]);
    }
    std::regex heading(R"re(<h[23] id="([^"]+)")re");
    std::vector<std::string> headings;
    for (auto it = std::sregex_iterator(html.begin() + static_cast<std::ptrdiff_t>(contentsEnd), html.end(), heading);
         it != std::sregex_iterator(); ++it)
        headings.push_back((*it)[1]);
    EXPECT_EQ(linked, headings);
    EXPECT_EQ(titles, (std::vector<std::string>{"Alpha", "Lit", "Dark", b.string(), "Lit"}));
    // A scenario without pictures has no section; counts are per section.
    EXPECT_EQ(html.find("No pictures"), std::string::npos);
    EXPECT_NE(contents.find("4 pictures"), std::string::npos);
    EXPECT_NE(contents.find("1 picture<"), std::string::npos);
}

TEST(PictureIndexTest, KeepsEachNoteOnceHoweverManyPicturesFollowIt) {
    PictureIndex index;
    index.beginScenario("a.json", "");
    const std::string note(100000, 'n');
    for (int i = 0; i < 50; ++i) {
        index.setNote(note);
        index.add("bar.png", "", false, "the Switch Bar is not shown", 2, true);
    }
    std::size_t held = 0;
    for (const auto& n : index.notes()) held += n.size();
    EXPECT_EQ(held, note.size());
    EXPECT_EQ(index.noteOf(index.entries().back()), note);
}

}  // namespace
}  // namespace quillmar::platform::sim
