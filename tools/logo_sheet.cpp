// Writes the logo at the sizes the app uses, to look at: the badge with and without its outer
// padding, and the menu-bar glyph.
//   logo_sheet [DIR]   (default out/logo)

#include <cstdio>
#include <filesystem>
#include <string>

#include "brand/logo_image.h"

int main(int argc, char** argv) {
    const std::filesystem::path dir = argc > 1 ? argv[1] : "out/logo";
    std::filesystem::create_directories(dir);
    int failures = 0;
    auto write = [&](const quillmar::DrawnImage& image, const std::string& name) {
        std::string error;
        if (!image.writePng((dir / name).string(), 2.0, &error)) {
            std::fprintf(stderr, "%s: %s\n", name.c_str(), error.c_str());
            ++failures;
        }
    };
    for (double size : {16.0, 32.0, 128.0, 512.0}) {
        const std::string s = std::to_string(static_cast<int>(size));
        write(*quillmar::LogoImage::makeAppIcon(size, true), "badge_" + s + ".png");
        write(*quillmar::LogoImage::makeAppIcon(size, false), "badge_unpadded_" + s + ".png");
    }
    write(*quillmar::LogoImage::makeMenuBarIcon(18), "menu_glyph_18.png");
    return failures == 0 ? 0 : 1;
}
