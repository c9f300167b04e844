#include "platform/sim/picture_index_page.h"

#include <algorithm>
#include <cmath>
#include <cctype>
#include <cstdio>
#include <optional>
#include <sstream>
#include <vector>

#include "platform/folder_writer.h"
#include "platform/sim/cannot_write_text.h"

namespace quillmar::platform::sim {

namespace {

// A relative file name as a URL path: unreserved characters and '/' stay, the rest is escaped.
std::string urlPath(const std::string& file) {
    std::string out;
    for (unsigned char c : file) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.' || c == '~' || c == '/') {
            out += static_cast<char>(c);
        } else {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        }
    }
    return out;
}

std::string seconds(double t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", std::isfinite(t) ? t : 0.0);
    return buf;
}

constexpr const char* kStyle = R"(body{font-family:sans-serif;margin:24px;background:#f4f4f6;color:#1c1c1e}
h1{font-size:22px}h2{font-size:18px;margin-top:36px;border-bottom:1px solid #ccc}h3{font-size:15px;color:#444}
figure{display:inline-block;vertical-align:top;margin:8px 16px 16px 0;padding:8px;background:#fff;border:1px solid #ddd}
figure img{display:block;max-width:100%;height:auto}figcaption{max-width:640px;font-size:13px;margin-top:6px}
.meta{color:#666;font-size:12px}.failed{border-color:#c33;color:#a00}.refused{border-style:dashed;color:#555}
nav{background:#fff;border:1px solid #ddd;padding:8px 16px}nav li{margin:2px 0}nav ol ol{font-size:13px}
.top{font-size:12px;font-weight:normal;margin-left:12px})";

// The anchors of a scenario's section and of a note's heading within it.
std::string scenarioAnchor(std::size_t scenario) { return "scenario-" + std::to_string(scenario + 1); }
std::string noteAnchor(std::size_t scenario, std::size_t note) {
    return scenarioAnchor(scenario) + "-note-" + std::to_string(note + 1);
}

std::string scenarioTitle(const PictureScenario& s) { return s.description.empty() ? s.file : s.description; }

// The sections in the order the page shows them: each scenario that has pictures, with its notes.
struct Section {
    std::size_t scenario = 0;
    std::size_t pictures = 0;  // written
    std::vector<std::string> notes;
};

std::vector<Section> sectionsOf(const PictureIndex& index) {
    std::vector<Section> sections;
    std::optional<std::size_t> note;
    for (const auto& e : index.entries()) {
        if (sections.empty() || sections.back().scenario != e.scenario) {
            sections.push_back({e.scenario, 0, {}});
            note.reset();
        }
        if (e.written) ++sections.back().pictures;
        if ((!note || !index.sameNote(*note, e.note)) && !index.noteOf(e).empty())
            sections.back().notes.push_back(index.noteOf(e));
        note = e.note;
    }
    return sections;
}

}  // namespace

std::string escapeHtml(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string pictureIndexPage(const PictureIndex& index) {
    std::ostringstream html;
    const auto& entries = index.entries();
    const auto written = static_cast<std::size_t>(
        std::count_if(entries.begin(), entries.end(), [](const PictureEntry& e) { return e.written; }));
    html << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
         << "<title>Quillmar demo pictures</title>\n<style>" << kStyle << "</style>\n</head>\n<body>\n"
         << "<h1>Quillmar demo: " << written << (written == 1 ? " picture" : " pictures") << "</h1>\n";
    // Contents: every scenario's section, and the notes within it.
    html << "<nav id=\"contents\"><h2>Contents</h2>\n<ol>\n";
    for (const auto& section : sectionsOf(index)) {
        if (section.scenario >= index.scenarios().size()) continue;
        const auto& s = index.scenarios()[section.scenario];
        html << "<li><a href=\"#" << scenarioAnchor(section.scenario) << "\">" << escapeHtml(scenarioTitle(s))
             << "</a> <span class=\"meta\">" << escapeHtml(s.file) << ", " << section.pictures
             << (section.pictures == 1 ? " picture" : " pictures") << "</span>";
        if (!section.notes.empty()) {
            html << "\n<ol>\n";
            for (std::size_t n = 0; n < section.notes.size(); ++n)
                html << "<li><a href=\"#" << noteAnchor(section.scenario, n) << "\">" << escapeHtml(section.notes[n])
                     << "</a></li>\n";
            html << "</ol>\n";
        }
        html << "</li>\n";
    }
    html << "</ol>\n</nav>\n";
    std::optional<std::size_t> scenario;
    std::optional<std::size_t> note;
    std::size_t notesInScenario = 0;
    for (const auto& e : entries) {
        if (!scenario || *scenario != e.scenario) {
            scenario = e.scenario;
            note.reset();
            notesInScenario = 0;
            if (e.scenario < index.scenarios().size()) {
                const auto& s = index.scenarios()[e.scenario];
                html << "<h2 id=\"" << scenarioAnchor(e.scenario) << "\">" << escapeHtml(scenarioTitle(s))
                     << " <a class=\"top\" href=\"#contents\">contents</a></h2>\n"
                     << "<p class=\"meta\">" << escapeHtml(s.file) << "</p>\n";
            }
        }
        if (!note || !index.sameNote(*note, e.note)) {
            note = e.note;
            if (!index.noteOf(e).empty())
                html << "<h3 id=\"" << noteAnchor(e.scenario, notesInScenario++) << "\">" << escapeHtml(index.noteOf(e))
                     << "</h3>\n";
        }
        const std::string caption = escapeHtml(e.caption.empty() ? e.file : e.caption);
        const std::string meta = "step " + std::to_string(e.step) + ", t = " + seconds(e.time) + " s, " +
                                 escapeHtml(e.file);
        if (!e.written) {
            html << (e.refused ? "<figure class=\"refused\"><p>Not taken: " : "<figure class=\"failed\"><p>Not written: ")
                 << escapeHtml(e.error.empty() ? "unknown reason" : e.error)
                 << "</p><figcaption>" << caption << "<br><span class=\"meta\">" << meta
                 << "</span></figcaption></figure>\n";
            continue;
        }
        const std::string url = urlPath(e.file);
        html << "<figure><a href=\"" << url << "\"><img src=\"" << url << "\" alt=\"" << caption << "\"";
        if (const auto& size = e.pixels) {
            const double scale = e.scale > 0 ? e.scale : 1;
            html << " width=\"" << std::lround(size->width / scale) << "\" height=\""
                 << std::lround(size->height / scale) << "\"";
        }
        html << "></a><figcaption>" << caption << "<br><span class=\"meta\">" << meta
             << "</span></figcaption></figure>\n";
    }
    html << "</body>\n</html>\n";
    return html.str();
}

bool writePictureIndexPage(const PictureIndex& index, const std::filesystem::path& dir, std::string* error) {
    if (auto failure = FolderWriter(dir).write("index.html", pictureIndexPage(index))) {
        if (error) *error = cannotWriteText(dir / "index.html", *failure);
        return false;
    }
    return true;
}

}  // namespace quillmar::platform::sim
