// SPDX-License-Identifier: MIT
// Makes every image and tune the game loads, into the directory given as the first argument
// (normally data/). Optional: --icon FILE writes the application icon as PNG; --preview DIR
// writes pictures of the art as it appears on screen.
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "arrangements.h"
#include "font_sheet.h"
#include "icon_art.h"
#include "mp3_encoder.h"
#include "present_texture.h"
#include "preview.h"
#include "text_renderer.h"
#include "title_art.h"

namespace {

const char* const kFontDir = "/usr/share/fonts/truetype/dejavu/";

bool save(const Image& image, const std::string& path) {
    if (image.writeBmp(path)) {
        std::printf("wrote %s (%dx%d)\n", path.c_str(), image.width(), image.height());
        return true;
    }
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return false;
}

// Levels the tune to peak at -3 dBFS (encoding adds a little overshoot; the files must stay
// below -1 dBFS) and encodes it at 128 kbit/s.
bool saveTune(Mixdown mix, const std::string& path) {
    mix.normalise(0.708f);
    const std::vector<uint8_t> mp3 = encodeMp3(mix, 128);
    if (!mp3.empty() && writeFile(path, mp3)) {
        std::printf("wrote %s (%.2f s, %zu bytes)\n", path.c_str(), static_cast<double>(mix.frames()) / Mixdown::kRate,
                    mp3.size());
        return true;
    }
    std::fprintf(stderr, "cannot encode %s\n", path.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::string out, icon, preview;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--icon") == 0 && i + 1 < argc) {
            icon = argv[++i];
        } else if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
            preview = argv[++i];
        } else if (out.empty()) {
            out = argv[i];
        } else {
            std::fprintf(stderr, "usage: %s DATA_DIR [--icon FILE.png] [--preview DIR]\n", argv[0]);
            return 2;
        }
    }
    if (out.empty()) {
        std::fprintf(stderr, "usage: %s DATA_DIR [--icon FILE.png] [--preview DIR]\n", argv[0]);
        return 2;
    }

    TextRenderer mono(std::string(kFontDir) + "DejaVuSansMono.ttf");
    TextRenderer monoBold(std::string(kFontDir) + "DejaVuSansMono-Bold.ttf");
    if (!mono.ok() || !monoBold.ok()) {
        std::fprintf(stderr, "cannot open the DejaVu Sans Mono faces in %s\n", kFontDir);
        return 1;
    }
    bool ok = true;
    const Image font = makeFontSheet(mono, monoBold);
    ok &= save(font, out + "/font.bmp");

    Image boxes[kPresentKinds] = {Image(1, 1), Image(1, 1), Image(1, 1), Image(1, 1),
                                  Image(1, 1), Image(1, 1), Image(1, 1)};
    for (int k = 0; k < kPresentKinds; ++k) {
        boxes[k] = makePresentTexture(k);
        ok &= save(boxes[k], out + "/" + presentTextureName(k) + ".bmp");
    }

    TextRenderer serifBold(std::string(kFontDir) + "DejaVuSerif-Bold.ttf");
    TextRenderer serifBoldItalic(std::string(kFontDir) + "DejaVuSerif-BoldItalic.ttf");
    TextRenderer serifItalic(std::string(kFontDir) + "DejaVuSerif-Italic.ttf");
    TextRenderer sansBold(std::string(kFontDir) + "DejaVuSans-Bold.ttf");
    if (!serifBold.ok() || !serifBoldItalic.ok() || !serifItalic.ok() || !sansBold.ok()) {
        std::fprintf(stderr, "cannot open the DejaVu Serif and Sans faces in %s\n", kFontDir);
        return 1;
    }
    const TitleFaces faces{serifBold, serifBoldItalic, serifItalic, sansBold};
    const Image snowflake = makeSnowflakeImage();
    const Image logo = makeLogo(faces);
    const Image presents = makePresentsImage(faces);
    const Image gameLogo = makeGameLogo(faces);
    const Image banner = makeBanner(faces);
    ok &= save(snowflake, out + "/snowflake.bmp");
    ok &= save(logo, out + "/logo.bmp");
    ok &= save(presents, out + "/presents.bmp");
    ok &= save(gameLogo, out + "/game_logo.bmp");
    ok &= save(banner, out + "/merry_christmas.bmp");

    if (!icon.empty()) {
        if (writeFile(icon, makeIconPng())) {
            std::printf("wrote %s (256x256)\n", icon.c_str());
        } else {
            std::fprintf(stderr, "cannot write %s\n", icon.c_str());
            ok = false;
        }
    }

    try {
        ok &= saveTune(arrangeJingleBells(), out + "/background.mp3");
        ok &= saveTune(arrangeMerryChristmas(), out + "/merry_christmas.mp3");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "cannot arrange the tunes: %s\n", e.what());
        return 1;
    }

    if (!preview.empty()) {
        // On-screen sizes at the start of each screen: a 2 x 1 quad 5 units away is 309 x 116
        // pixels, the banner 16 x 4 units is 2472 x 464 (shown here at half size).
        ok &= save(onScreen(logo, 309, 116), preview + "/logo_screen.bmp");
        ok &= save(onScreen(presents, 309, 116), preview + "/presents_screen.bmp");
        ok &= save(onScreen(gameLogo, 309, 232), preview + "/game_logo_screen.bmp");
        ok &= save(onScreen(gameLogo, 618, 464), preview + "/game_logo_big.bmp");
        ok &= save(onScreen(logo, 927, 348), preview + "/logo_zoomed.bmp");
        ok &= save(onScreen(banner, 1236, 232), preview + "/banner_screen.bmp");
        ok &= save(onScreen(snowflake, 155, 116), preview + "/snowflake_screen.bmp");
        // The seven kinds at play size (a cube face is about 26 x 19 pixels) and enlarged.
        Image board(7 * 30 + 10, 60 + 7 * 0 + 140, hex(0x101020));
        for (int k = 0; k < kPresentKinds; ++k) {
            board.paste(onScreen(boxes[k], 26, 19), 10 + 30 * k, 10);
            board.paste(onScreen(boxes[k], 26, 19), 10 + 30 * k, 29);
            board.paste(onScreen(boxes[k], 26, 19), 36 + 30 * k, 29);
            board.paste(boxes[k].resampled(28, 28), 10 + 30 * k, 60);
        }
        ok &= save(board, preview + "/boxes_screen.bmp");
        Image screen(640, 480, hex(0x000000));
        const char* lines[] = {"Yuletumble",
                               "Lead programmer",
                               "The Yuletumble team",
                               " ... many other but I am too lazy :-)",
                               "The quick brown fox jumps over the lazy dog.",
                               "0123456789 !\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~"};
        int y = 20;
        for (const char* l : lines) {
            printWithSheet(screen, font, 20, y, l, false, {1, 1, 1});
            printWithSheet(screen, font, 20, y + 20, l, true, {1, 1, 1});
            y += 44;
        }
        printWithSheet(screen, font, 550, 450, "ESC", true, {1, 1, 1});
        printWithSheet(screen, font, 590, 450, "Back", false, {1, 1, 1});
        printWithSheet(screen, font, 20, 300, "Yuletumble", false, {1, 0, 0});
        printWithSheet(screen, font, 20, 320, "Score: 001230  Level: 3  Lines: 27", true, {1, 1, 0.4f});
        ok &= save(screen, preview + "/font_screen.bmp");
    }
    return ok ? 0 : 1;
}
