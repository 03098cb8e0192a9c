// The pictures of the built archive, decoded by the engine's own loaders and
// turned into display surfaces, against the rules the game's drawing needs.
#include <gtest/gtest.h>

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "content/archive_fixture.h"
#include "content/kit_test_util.h"
#include "engine/media/H2DDisplayDevice.h"
#include "engine/media/HImage.h"
#include "engine/media/HImageLoader.h"
#include "engine/media/sdl/HSDL2DDisplayDevice.h"
#include "engine/core/HZIPFileSystem.h"
#include "game/TMBoard.h"
#include "game/TMScreenLayout.h"

using namespace kit_test;
using namespace tmscreen;

namespace {

// Every picture decoded once for the whole program.
const std::map<std::string, Image> &s_images()
{
    static const std::map<std::string, Image> images = [] {
        std::map<std::string, Image> m;
        for (const std::string &name : expectedImageNames()) {
            Image image;
            if (loadImage(name, image))
                m[name] = std::move(image);
        }
        return m;
    }();
    return images;
}

const Image *s_image(const std::string &name)
{
    auto it = s_images().find(name);
    return it == s_images().end() ? nullptr : &it->second;
}

// Components and width from a JPEG's start-of-frame marker.
bool s_jpegFrame(const std::vector<uint8_t> &b, int &components, int &width)
{
    for (size_t i = 2; i + 9 < b.size();) {
        if (b[i] != 0xFF)
            return false;
        const uint8_t marker = b[i + 1];
        const size_t length = size_t(b[i + 2]) << 8 | b[i + 3];
        if (marker >= 0xC0 && marker <= 0xC2) {
            width = b[i + 7] << 8 | b[i + 8];
            components = b[i + 9];
            return true;
        }
        i += 2 + length;
    }
    return false;
}

int s_alpha(uint32_t p)
{
    return int(p >> 24);
}

bool s_isKey(uint32_t p)
{
    return (p & 0xffffff) == 0xff00ff;
}

} // namespace

TEST(KitImages, EveryPictureDecodesWithTheEnginesLoaders)
{
    ASSERT_NE(archive(), nullptr);
    for (const std::string &name : expectedImageNames()) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(readEntry(name, bytes));
        ASSERT_NE(s_image(name), nullptr) << "does not decode";
        const Image &image = *s_image(name);
        EXPECT_GT(image.width, 0);
        EXPECT_GT(image.height, 0);
        if (endsWith(name, ".tga")) {
            ASSERT_GE(bytes.size(), 18u);
            EXPECT_EQ(bytes[0], 0) << "ID length";
            EXPECT_EQ(bytes[1], 0) << "colour-map type";
            EXPECT_EQ(bytes[2], 2) << "image type";
            EXPECT_TRUE(bytes[16] == 24 || bytes[16] == 32) << "depth " << int(bytes[16]);
            EXPECT_EQ(bytes[17] & 0x20, 0) << "rows must be stored bottom-up";
            EXPECT_EQ(bytes.size(), 18u + size_t(image.width) * image.height * (bytes[16] / 8));
        } else {
            ASSERT_TRUE(endsWith(name, ".jpg"));
            int components = 0, width = 0;
            ASSERT_TRUE(s_jpegFrame(bytes, components, width));
            EXPECT_EQ(components, 3);
            EXPECT_LE(width, 1365) << "wider than the engine's JPEG row buffer";
            // The colour key turns a pixel transparent; a JPEG must never
            // decode to it.
            const auto keyed = std::count_if(image.argb.begin(), image.argb.end(), s_isKey);
            EXPECT_EQ(keyed, 0) << "pixels decode to the colour key";
        }
    }
}

TEST(KitImages, PicturesHaveTheSizesTheScreenNeeds)
{
    struct Size
    {
        const char *name;
        int width, height;
    };
    const Size exact[] = {
        {"art/loading_tl.jpg", 640, 480}, {"art/font.tga", 128, 84},      {"art/pause_tl.jpg", 515, 480},
        {"art/left_tl.jpg", 125, 480},    {"art/start_tl.jpg", 520, 480},
        {"art/outline_green.tga", TM_TILE_FACE_WIDTH, TM_TILE_FACE_HEIGHT},
        {"art/outline_red.tga", TM_TILE_FACE_WIDTH, TM_TILE_FACE_HEIGHT},
    };
    for (const Size &s : exact) {
        SCOPED_TRACE(s.name);
        const Image *image = s_image(s.name);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width, s.width);
        EXPECT_EQ(image->height, s.height);
    }
    for (int i = 1; i <= 10; ++i) {
        const Image *arena = s_image(numbered("art/arena%d_tl.jpg", i));
        ASSERT_NE(arena, nullptr);
        EXPECT_EQ(arena->width, 520);
        EXPECT_EQ(arena->height, 480);
    }
    for (int i = 1; i <= 8; ++i) {
        const Image *sheet = s_image(numbered("art/tileset_%d.tga", i));
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(sheet->width, TM_SHEET_COLUMNS * TM_TILE_IMAGE_WIDTH);
        EXPECT_EQ(sheet->height, TM_SHEET_ROWS * TM_TILE_IMAGE_HEIGHT);
    }

    // Largest sizes: what fits the space the game draws the picture into.
    const Size most[] = {
        {"art/board_complete_tl.jpg", 515, 480},
        {"art/gameover_tl.jpg", 515, 480},
        {"art/restart_areyousure.jpg", kScreenWidth - kRestartConfirmX, kScreenHeight},
        {"art/icon_score_tl.tga", kTimeArea.x0 - kTimeLabel.x, kScreenHeight - kTimeLabel.y},
        {"art/icon_tiles_left_tl.tga", kTilesLeftArea.x0 - kTilesLeftLabel.x, kScreenHeight - kTilesLeftLabel.y},
        {"art/icon_available_tl.tga", kMovesArea.x0 - kMovesLabel.x, kScreenHeight - kMovesLabel.y},
        {"art/options_on_tl.tga", 81, 480},
        {"art/icon_start_tl.tga", kScreenWidth - kStartControl.x, kScreenHeight - kStartControl.y},
        {"art/progress_tl.tga", kScreenWidth - kProgressBar.x, kScreenHeight - kProgressBar.y},
    };
    for (const Size &s : most) {
        SCOPED_TRACE(s.name);
        const Image *image = s_image(s.name);
        ASSERT_NE(image, nullptr);
        EXPECT_LE(image->width, s.width);
        EXPECT_LE(image->height, s.height);
    }
    // Layout previews end above the start button.
    for (int i = 1; i <= 18; ++i) {
        const Image *preview = s_image(numbered("art/preview_layout_%d.jpg", i));
        ASSERT_NE(preview, nullptr);
        EXPECT_LE(kLayoutPreview.y + preview->height, kStartControl.y) << i;
        EXPECT_LE(preview->width, kPreviewSpan) << i;
    }
}

TEST(KitImages, GroupsThatShareAPlaceShareASize)
{
    auto sameSize = [](const std::vector<std::string> &names) {
        const Image *first = s_image(names[0]);
        ASSERT_NE(first, nullptr) << names[0];
        for (const std::string &n : names) {
            const Image *image = s_image(n);
            ASSERT_NE(image, nullptr) << n;
            EXPECT_TRUE(image->width == first->width && image->height == first->height)
                << n << " is " << image->width << "x" << image->height << ", " << names[0] << " is "
                << first->width << "x" << first->height;
        }
    };
    // A control's two looks, and looks that replace each other in place.
    for (const char *c : {"start", "exit", "showmoves", "options", "velmora", "newgame", "rules", "shuffle", "undo"})
        sameSize({std::string("art/icon_") + c + "_tl.tga", std::string("art/icon_") + c + "_lit_tl.tga"});
    sameSize({"art/icon_hint_tl.tga", "art/icon_hint_lit_tl.tga", "art/icon_findmatch_tl.tga",
              "art/icon_findmatch_lit_tl.tga"});
    sameSize({"art/icon_pause_tl.tga", "art/icon_pause_lit_tl.tga", "art/icon_resume_tl.tga",
              "art/icon_resume_lit_tl.tga"});
    sameSize({"art/arrow_left_tl.tga", "art/arrow_left_lit_tl.tga"});
    sameSize({"art/arrow_right_tl.tga", "art/arrow_right_lit_tl.tga"});
    sameSize({"art/options_on_tl.tga", "art/options_on_lit_tl.tga", "art/options_off_tl.tga",
              "art/options_off_lit_tl.tga"});
    for (const char *b : {"done", "besttimes", "visit"})
        sameSize({std::string("art/options_") + b + "_tl.tga", std::string("art/options_") + b + "_lit_tl.tga"});
    for (const char *b : {"close", "prev", "next"})
        sameSize({std::string("art/rules_") + b + "_tl.tga", std::string("art/rules_") + b + "_lit_tl.tga"});
    for (const char *b : {"shuffle", "undo", "endgame"})
        sameSize({std::string("art/no_more_moves_") + b + ".tga", std::string("art/no_more_moves_") + b + "_lit.tga"});
    sameSize({"art/besttimes_areyousure_yes.tga", "art/besttimes_areyousure_yes_lit.tga"});
    sameSize({"art/besttimes_areyousure_no.tga", "art/besttimes_areyousure_no_lit.tga"});
    sameSize({"art/register_ok_tl.tga", "art/register_ok_lit_tl.tga"});
    sameSize({"art/rules_0_tl.jpg", "art/rules_1_tl.jpg"});

    std::vector<std::string> titles;
    for (int i = 1; i <= 18; ++i)
        titles.push_back(numbered("art/title_layout_%d.tga", i));
    sameSize(titles);

    // HUD glyphs are laid out with the height of digit 0.
    const Image *zero = s_image("art/font_number_0.tga");
    ASSERT_NE(zero, nullptr);
    std::vector<std::string> glyphs = {"art/font_colon.tga", "art/font_comma.tga"};
    for (int i = 0; i <= 9; ++i)
        glyphs.push_back(numbered("art/font_number_%d.tga", i));
    for (const std::string &g : glyphs) {
        const Image *image = s_image(g);
        ASSERT_NE(image, nullptr) << g;
        EXPECT_EQ(image->height, zero->height) << g;
        EXPECT_LE(image->width, 15) << g;
        EXPECT_LE(image->height, 28) << g;
    }
}

TEST(KitImages, LeftPanelControlsStayInThePanel)
{
    struct Place
    {
        const char *control;
        Point at;
    };
    const Place places[] = {{"exit", kExitControl},       {"showmoves", kShowMovesControl}, {"hint", kHintControl},
                            {"findmatch", kHintControl},  {"options", kOptionsControl},     {"pause", kPauseControl},
                            {"resume", kPauseControl},    {"newgame", kRestartControl},     {"rules", kRulesControl},
                            {"shuffle", kShuffleControl}, {"undo", kUndoControl}};
    for (const Place &p : places) {
        for (const char *look : {"_tl.tga", "_lit_tl.tga"}) {
            const std::string name = std::string("art/icon_") + p.control + look;
            const Image *image = s_image(name);
            ASSERT_NE(image, nullptr) << name;
            EXPECT_LE(p.at.x + image->width, 124) << name;
            EXPECT_LE(p.at.y + image->height, kScreenHeight) << name;
        }
    }
}

TEST(KitImages, PlainlyDrawnPicturesUseOnlyFullOrNoAlpha)
{
    // Drawn with the plain blit, which shows only pixels of alpha 255.
    std::vector<std::string> names;
    for (int i = 1; i <= 8; ++i) {
        names.push_back(numbered("art/tileset_%d.tga", i));
        names.push_back(numbered("art/preview_tile_%d.tga", i));
    }
    for (int i = 1; i <= 18; ++i)
        names.push_back(numbered("art/title_layout_%d.tga", i));
    for (const std::string &name : names) {
        const Image *image = s_image(name);
        ASSERT_NE(image, nullptr) << name;
        const auto soft = std::count_if(image->argb.begin(), image->argb.end(), [](uint32_t p) {
            return s_alpha(p) != 0 && s_alpha(p) != 255;
        });
        EXPECT_EQ(soft, 0) << name << " has partly transparent pixels";
        const auto shown = std::count_if(image->argb.begin(), image->argb.end(),
                                         [](uint32_t p) { return s_alpha(p) == 255 && !s_isKey(p); });
        EXPECT_GT(shown, 0) << name << " shows nothing";
    }
}

TEST(KitImages, FadedPicturesCarryPartialAlpha)
{
    // Drawn with the fade blend; without a pixel below 255 they would be
    // copied opaque.
    for (const char *name : {"art/shadow_top.tga", "art/shadow_right.tga", "art/nomatch_alpha_tl.tga"}) {
        const Image *image = s_image(name);
        ASSERT_NE(image, nullptr) << name;
        const auto translucent =
            std::count_if(image->argb.begin(), image->argb.end(), [](uint32_t p) { return s_alpha(p) < 255; });
        EXPECT_GT(translucent, 0) << name;
        const auto visible =
            std::count_if(image->argb.begin(), image->argb.end(), [](uint32_t p) { return s_alpha(p) > 0; });
        EXPECT_GT(visible, 0) << name << " is invisible";
    }
}

TEST(KitImages, TileSheetsFillExactlyTheCellsOfTheTileKinds)
{
    // Cells that no tile kind uses stay empty; used cells show a tile face.
    const int w = TM_TILE_IMAGE_WIDTH, h = TM_TILE_IMAGE_HEIGHT;
    for (int set = 1; set <= 8; ++set) {
        const std::string name = numbered("art/tileset_%d.tga", set);
        const Image *sheet = s_image(name);
        ASSERT_NE(sheet, nullptr) << name;
        ASSERT_EQ(sheet->width, TM_SHEET_COLUMNS * w);
        for (int cell = 0; cell < TM_SHEET_COLUMNS * TM_SHEET_ROWS; ++cell) {
            const int cx = (cell % TM_SHEET_COLUMNS) * w, cy = (cell / TM_SHEET_COLUMNS) * h;
            int opaque = 0, faceOpaque = 0;
            for (int y = 0; y < h; ++y) {
                for (int x = 0; x < w; ++x) {
                    const uint32_t p = sheet->at(cx + x, cy + y);
                    const bool shown = s_alpha(p) == 255 && !s_isKey(p);
                    opaque += shown;
                    if (x >= TM_TILE_FACE_LEFT && y < TM_TILE_FACE_HEIGHT)
                        faceOpaque += shown;
                }
            }
            const bool isUnused = std::none_of(std::begin(g_tileKindTable), std::end(g_tileKindTable),
                                               [&](const TMTileKind &row) { return row.image == cell; });
            if (isUnused) {
                EXPECT_EQ(opaque, 0) << name << " cell " << cell << " should be empty";
            } else {
                // Nearly the whole face is opaque (corners may round).
                EXPECT_GE(faceOpaque, TM_TILE_FACE_WIDTH * TM_TILE_FACE_HEIGHT * 9 / 10) << name << " cell " << cell;
            }
        }
    }
}

TEST(KitImages, FontHasAGlyphForEveryPrintableCharacter)
{
    const Image *font = s_image("art/font.tga");
    ASSERT_NE(font, nullptr);
    ASSERT_EQ(font->width, 128);
    ASSERT_EQ(font->height, 84);
    // Code c sits in column c mod 16, row c / 16 - 1, in cells of 8 x 12.
    for (int c = 33; c < 127; ++c) {
        const int cx = (c % 16) * 8, cy = (c / 16 - 1) * 12;
        int ink = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 8; ++x)
                ink += s_alpha(font->at(cx + x, cy + y)) > 128;
        EXPECT_GT(ink, 0) << "no glyph for '" << char(c) << "'";
    }
}

// The same pictures turned into 16-bit surfaces by the display back end
// under the dummy video driver, as the game's sprites are.
class KitSurfaces : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_display = HSDL2DDisplayDevice::create(640, 480, "content test", 0, 0, nullptr);
    }
    static void TearDownTestSuite()
    {
        H2DDisplayDevice::destroy(s_display);
        s_display = nullptr;
        SDL_Quit();
    }

    // The alpha mask bytes of the picture's surface: empty when it has no
    // mask (fully opaque).
    static bool maskOf(const std::string &name, std::vector<uint8_t> &mask, int &w, int &h)
    {
        HImageLoaderProxy proxy;
        if (!proxy.load(archive(), name.c_str()))
            return false;
        H2DMemorySurface *surface = s_display->createSurface(proxy.getImage());
        proxy.freeImage();
        if (!surface)
            return false;
        w = surface->getWidth();
        h = surface->getHeight();
        const uint8_t *m = surface->getAlphaMask();
        mask.assign(m ? m : nullptr, m ? m + size_t(w) * h : nullptr);
        s_display->destroySurface(surface);
        return true;
    }

    static HSDL2DDisplayDevice *s_display;
};

HSDL2DDisplayDevice *KitSurfaces::s_display = nullptr;

TEST_F(KitSurfaces, EveryPictureBecomesASurfaceWithTheRightMask)
{
    ASSERT_NE(s_display, nullptr) << "no display under the dummy driver";
    ASSERT_NE(archive(), nullptr);
    const std::vector<std::string> faded = {"art/shadow_top.tga", "art/shadow_right.tga", "art/nomatch_alpha_tl.tga"};
    for (const std::string &name : expectedImageNames()) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> mask;
        int w = 0, h = 0;
        ASSERT_TRUE(maskOf(name, mask, w, h));
        if (endsWith(name, ".jpg")) {
            EXPECT_TRUE(mask.empty()) << "a full picture must be opaque";
            continue;
        }
        if (std::find(faded.begin(), faded.end(), name) != faded.end()) {
            ASSERT_FALSE(mask.empty());
            EXPECT_TRUE(std::any_of(mask.begin(), mask.end(), [](uint8_t a) { return a < 255; }));
            continue;
        }
        const bool plain = name.find("tileset_") != std::string::npos ||
                           name.find("title_layout_") != std::string::npos ||
                           name.find("preview_tile_") != std::string::npos;
        if (plain) {
            EXPECT_TRUE(std::all_of(mask.begin(), mask.end(), [](uint8_t a) { return a == 0 || a == 255; }));
        }
    }
}
