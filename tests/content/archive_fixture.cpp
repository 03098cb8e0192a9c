#include "content/archive_fixture.h"
#include "content/kit_test_util.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "engine/core/HFile.h"
#include "engine/core/HZIPFileSystem.h"
#include "engine/media/HImage.h"
#include "engine/media/HImageLoader.h"

namespace kit_test {
namespace {

struct Mounted
{
    HZIPFileSystem fileSystem;
    bool ok = false;

    Mounted()
    {
        FILE *f = std::fopen(archivePath().c_str(), "rb");
        if (!f)
            return;
        std::fseek(f, 0, SEEK_END);
        const long size = std::ftell(f);
        std::fseek(f, 0, SEEK_SET);
        void *buffer = size > 0 ? std::malloc(size_t(size)) : nullptr;
        const bool read = buffer && std::fread(buffer, 1, size_t(size), f) == size_t(size);
        std::fclose(f);
        if (!read) {
            std::free(buffer);
            return;
        }
        // The file system owns the block from here on, whatever the result.
        ok = fileSystem.mountFromMemory(buffer, int32_t(size));
    }
    ~Mounted() { fileSystem.shutdown(); }
};

Mounted &s_mounted()
{
    static Mounted mounted;
    return mounted;
}

} // namespace

std::string archivePath()
{
    return std::string(TILMAR_BINARY_DIR) + "/Resources/tilmar.vmz";
}

HZIPFileSystem *archive()
{
    Mounted &m = s_mounted();
    return m.ok ? &m.fileSystem : nullptr;
}

std::vector<std::string> storedNames()
{
    std::vector<std::string> names;
    HZIPFileSystem *fs = archive();
    if (!fs)
        return names;
    unzFile zip = fs->getArchive();
    for (int r = unzGoToFirstFile(zip); r == UNZ_OK; r = unzGoToNextFile(zip)) {
        char name[1024];
        unz_file_info info;
        if (unzGetCurrentFileInfo(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) == UNZ_OK)
            names.push_back(name);
    }
    return names;
}

bool readEntry(const std::string &name, std::vector<uint8_t> &bytes)
{
    HZIPFileSystem *fs = archive();
    HFile *file = fs ? fs->openFileForRead(name.c_str()) : nullptr;
    if (!file)
        return false;
    bytes.assign(size_t(file->getSize()), 0);
    const int32_t n = bytes.empty() ? 0 : file->read(bytes.data(), int32_t(bytes.size()));
    file->close();
    return n == int32_t(bytes.size());
}

bool loadImage(const std::string &name, Image &out)
{
    HZIPFileSystem *fs = archive();
    if (!fs)
        return false;
    HImageLoaderProxy proxy;
    if (!proxy.load(fs, name.c_str()))
        return false;
    HImage *image = proxy.getImage();
    const bool ok = image && image->getFormat() == FORMAT_32BPP && image->getData();
    if (ok) {
        out.width = image->getWidth();
        out.height = image->getHeight();
        out.argb.resize(size_t(out.width) * out.height);
        for (int y = 0; y < out.height; ++y)
            for (int x = 0; x < out.width; ++x)
                out.argb[size_t(y) * out.width + x] = image->getPixel32(x, y);
    }
    proxy.freeImage();
    return ok;
}

std::vector<std::string> expectedImageNames()
{
    std::vector<std::string> n = {
        // Loaded at start-up, in the order of the game's art table.
        "art/font.tga", "art/pause_tl.jpg", "art/left_tl.jpg", "art/start_tl.jpg", "art/arrow_left_tl.tga",
        "art/arrow_right_tl.tga", "art/arrow_left_lit_tl.tga", "art/arrow_right_lit_tl.tga", "art/shadow_top.tga",
        "art/shadow_right.tga", "art/nomatch_alpha_tl.tga", "art/board_complete_tl.jpg", "art/gameover_tl.jpg"};
    for (int i = 1; i <= 18; ++i)
        n.push_back(numbered("art/preview_layout_%d.jpg", i));
    for (int i = 1; i <= 18; ++i)
        n.push_back(numbered("art/title_layout_%d.tga", i));
    for (int i = 1; i <= 8; ++i)
        n.push_back(numbered("art/preview_tile_%d.tga", i));
    for (int i = 1; i <= 10; ++i)
        n.push_back(numbered("art/preview_background_%d.jpg", i));
    n.insert(n.end(), {"art/icon_start_tl.tga", "art/icon_start_lit_tl.tga", "art/icon_clicktocontinue_lit.tga"});
    for (const char *c : {"exit", "showmoves", "hint", "findmatch", "options", "pause", "resume", "velmora", "newgame",
                          "rules", "shuffle", "undo"}) {
        n.push_back(std::string("art/icon_") + c + "_tl.tga");
        n.push_back(std::string("art/icon_") + c + "_lit_tl.tga");
    }
    n.insert(n.end(), {"art/icon_score_tl.tga", "art/icon_tiles_left_tl.tga", "art/icon_available_tl.tga"});
    for (int i = 0; i <= 9; ++i)
        n.push_back(numbered("art/font_number_%d.tga", i));
    n.insert(n.end(), {"art/font_colon.tga", "art/font_comma.tga", "art/outline_green.tga", "art/outline_red.tga"});
    // Loaded when a game starts.
    for (int i = 1; i <= 10; ++i)
        n.push_back(numbered("art/arena%d_tl.jpg", i));
    for (int i = 1; i <= 8; ++i)
        n.push_back(numbered("art/tileset_%d.tga", i));
    // The loading screen and the dialogs.
    n.insert(n.end(),
             {"art/loading_tl.jpg", "art/progress_tl.tga", "art/restart_areyousure.jpg",
              "art/besttimes_areyousure.jpg", "art/besttimes_areyousure_yes.tga",
              "art/besttimes_areyousure_yes_lit.tga", "art/besttimes_areyousure_no.tga",
              "art/besttimes_areyousure_no_lit.tga", "art/rules_0_tl.jpg", "art/rules_1_tl.jpg",
              "art/rules_close_tl.tga", "art/rules_close_lit_tl.tga", "art/rules_prev_tl.tga",
              "art/rules_prev_lit_tl.tga", "art/rules_next_tl.tga", "art/rules_next_lit_tl.tga",
              "art/no_more_moves.jpg", "art/no_more_moves_shuffle.tga", "art/no_more_moves_shuffle_lit.tga",
              "art/no_more_moves_undo.tga", "art/no_more_moves_undo_lit.tga", "art/no_more_moves_endgame.tga",
              "art/no_more_moves_endgame_lit.tga", "art/options_tl.jpg", "art/options_done_tl.tga",
              "art/options_done_lit_tl.tga", "art/options_besttimes_tl.tga", "art/options_besttimes_lit_tl.tga",
              "art/options_visit_tl.tga", "art/options_visit_lit_tl.tga", "art/options_slider_tab_tl.tga",
              "art/options_on_tl.tga", "art/options_on_lit_tl.tga", "art/options_off_tl.tga",
              "art/options_off_lit_tl.tga", "art/besttimes_tl.jpg", "art/ok_lit_tl.tga",
              "art/besttimes_clear_lit_tl.tga", "art/entername_tl.jpg", "art/register_ok_tl.tga",
              "art/register_ok_lit_tl.tga"});
    return n;
}

std::vector<std::string> expectedSoundNames()
{
    return {"sound/tm_guiclick.wav", "sound/tm_click.wav",  "sound/tm_unclick.wav",
            "sound/tm_match.ogg",    "sound/tm_blocked.ogg", "sound/tm_youwin.ogg",
            "sound/tm_hint.ogg",     "sound/tm_gameover.ogg", "sound/tm_splash.ogg",
            "music/theme_tl.ogg"};
}

std::vector<std::string> expectedLayoutNames()
{
    std::vector<std::string> n = {"layouts/classic.tml", "layouts/coliseum.tml", "layouts/pyramid.tml",
                                  "layouts/quin.tml",    "layouts/temple.tml",   "layouts/hurricane.tml",
                                  "layouts/vemo.tml"};
    for (int i = 0; i <= 10; ++i)
        n.push_back(numbered("layouts/velmora%d.tml", i));
    return n;
}

} // namespace kit_test
