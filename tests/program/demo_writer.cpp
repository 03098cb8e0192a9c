#include "program/demo_writer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "engine/core/HZIPFileSystem.h"
#include "engine/media/HImage.h"
#include "engine/media/HImageLoader.h"

namespace demo {
namespace {

// Between two records of one gesture, and between the timestamps of a wait.
constexpr uint32_t kEventStep = 20;
constexpr uint32_t kIdleTick = 250;

// The art slots whose sizes set the board's shadows.
const char *const kShadowTopImage = "art/shadow_top.tga";
const char *const kShadowRightImage = "art/shadow_right.tga";

struct Archive
{
    HZIPFileSystem fileSystem;
    bool mounted = false;

    Archive() { mounted = fileSystem.mount(TILMAR_BINARY_DIR "/Resources/tilmar.vmz"); }
    ~Archive() { fileSystem.shutdown(); }
};

bool s_onHud(Point p)
{
    // The labels of the head-up display take a press before the board.
    return p.y >= tmscreen::kTimeLabel.y || p.x < tmscreen::kPanelWidth;
}

int32_t s_index(const TMBoard &board, const TMTile *tile)
{
    return tile ? static_cast<int32_t>(tile - board.tiles) : -1;
}

} // namespace

// ---------------------------------------------------------------------------
// DemoWriter

DemoWriter::DemoWriter(uint32_t seed) : m_clock(seed), m_lastPress(0)
{
    m_records.reserve(2048);
    m_add(ET_TIMESTAMP);
}

HEvent &DemoWriter::m_add(HEventType type)
{
    HEvent e;
    e.type = type;
    e.time = VyTime::fromTime64(m_clock);
    m_records.push_back(e);
    m_clock += kEventStep;
    return m_records.back();
}

void DemoWriter::wait(uint32_t ms)
{
    const uint64_t end = m_clock + ms;
    for (uint64_t t = m_clock + kIdleTick; t < end; t += kIdleTick) {
        m_clock = t;
        m_add(ET_TIMESTAMP);
    }
    m_clock = std::max(m_clock, end);
    m_add(ET_TIMESTAMP);
}

void DemoWriter::moveTo(Point p)
{
    HEvent &e = m_add(ET_MOUSEMOVE);
    e.x = p.x;
    e.y = p.y;
}

void DemoWriter::press(Point p, int32_t button)
{
    m_lastPress = m_clock;
    HEvent &e = m_add(ET_KEYDOWN);
    e.keyCode = button;
    e.x = p.x;
    e.y = p.y;
}

void DemoWriter::release(Point p, int32_t button)
{
    HEvent &e = m_add(ET_KEYUP);
    e.keyCode = button;
    e.x = p.x;
    e.y = p.y;
}

uint64_t DemoWriter::click(Point p)
{
    moveTo(p);
    press(p);
    release(p);
    return m_lastPress;
}

void DemoWriter::drag(Point from, Point to)
{
    moveTo(from);
    press(from);
    constexpr int32_t kSteps = 4;
    for (int32_t i = 1; i <= kSteps; ++i)
        moveTo({from.x + (to.x - from.x) * i / kSteps, from.y + (to.y - from.y) * i / kSteps});
    release(to);
}

uint64_t DemoWriter::key(int32_t keyCode, uint8_t character, int32_t modifiers)
{
    const uint64_t downTime = m_clock;
    HEvent &down = m_add(ET_KEYDOWN);
    down.keyCode = keyCode;
    down.character = character;
    down.modifiers = modifiers;
    HEvent &up = m_add(ET_KEYUP);
    up.keyCode = keyCode;
    up.character = character;
    up.modifiers = modifiers;
    return downTime;
}

void DemoWriter::type(const std::string &text)
{
    for (const char c : text) {
        int32_t code = KC_SPACE;
        int32_t modifiers = 0;
        if (c >= 'a' && c <= 'z') {
            code = KC_A + (c - 'a');
        } else if (c >= 'A' && c <= 'Z') {
            code = KC_A + (c - 'A');
            modifiers = MOD_SHIFT;
        } else if (c >= '0' && c <= '9') {
            code = KC_0 + (c - '0');
        }
        key(code, static_cast<uint8_t>(c), modifiers);
    }
}

void DemoWriter::backspaces(int32_t count)
{
    for (int32_t i = 0; i < count; ++i)
        key(KC_BACK, 8);
}

uint64_t DemoWriter::enter()
{
    return key(KC_RETURN, 13);
}

uint64_t DemoWriter::quit()
{
    const uint64_t time = m_clock;
    m_add(ET_QUIT);
    return time;
}

void DemoWriter::activate(bool gained)
{
    m_add(ET_ACTIVATE).param = gained ? 1 : 0;
}

bool DemoWriter::save(const std::string &path) const
{
    FILE *f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written =
        std::fwrite(m_records.data(), sizeof(HEvent), m_records.size(), f) == m_records.size();
    return std::fclose(f) == 0 && written;
}

// ---------------------------------------------------------------------------
// Resources

HFileSystem *resources()
{
    static Archive archive;
    return archive.mounted ? &archive.fileSystem : nullptr;
}

Point imageSize(const char *name)
{
    HImageLoaderProxy loader;
    HFileSystem *fs = resources();
    if (!fs || !loader.load(fs, name) || !loader.getImage())
        return {0, 0};
    const Point size = {loader.getImage()->getWidth(), loader.getImage()->getHeight()};
    loader.freeImage();
    return size;
}

Point inside(Point topLeft)
{
    return {topLeft.x + 8, topLeft.y + 8};
}

Point offset(Point p, Point by)
{
    return {p.x + by.x, p.y + by.y};
}

// ---------------------------------------------------------------------------
// BoardPlay

BoardPlay::BoardPlay(uint32_t seed, int32_t layout)
{
    m_rng.seed(seed);
    static const int32_t shadowTop = imageSize(kShadowTopImage).y;
    static const int32_t shadowRight = imageSize(kShadowRightImage).x;
    m_board.setShadowSizes(shadowTop, shadowRight);
    m_board.deal(resources(), m_rng, getLayoutFileName(layout));
}

bool BoardPlay::clickPoint(int32_t tile, Point &out) const
{
    if (tile < 0 || tile >= TM_TILE_COUNT)
        return false;
    HRect face;
    m_board.getFaceRect(&m_board.tiles[tile], &face);
    const int32_t cx = (face.x0 + face.x1) / 2;
    const int32_t cy = (face.y0 + face.y1) / 2;
    // Nearest the middle of the face first.
    const int32_t reach = std::max(face.x1 - face.x0, face.y1 - face.y0);
    for (int32_t r = 0; r <= reach; ++r)
        for (int32_t dy = -r; dy <= r; ++dy)
            for (int32_t dx = -r; dx <= r; ++dx) {
                if (std::max(std::abs(dx), std::abs(dy)) != r)
                    continue;
                const Point p = {cx + dx, cy + dy};
                if (!face.contains(p.x, p.y) || s_onHud(p))
                    continue;
                if (s_index(m_board, m_board.hitTest(p.x, p.y, true)) == tile) {
                    out = p;
                    return true;
                }
            }
    return false;
}

void BoardPlay::removePair(const TilePair &pair)
{
    // The game takes the pair off with the clicked tile first.
    m_board.removePair(&m_board.tiles[pair.second], &m_board.tiles[pair.first], VyTime());
}

void BoardPlay::undo()
{
    m_board.popUndo(nullptr, nullptr);
}

void BoardPlay::shuffle()
{
    m_board.shuffleBoard(m_rng);
}

std::vector<TilePair> BoardPlay::greedy() const
{
    TMBoard board(m_board);
    board.resetUndo();
    std::vector<TilePair> path;
    TMTile *a = nullptr;
    TMTile *b = nullptr;
    while (board.findPair(&a, &b, 0)) {
        path.push_back({s_index(board, a), s_index(board, b)});
        board.removePair(b, a, VyTime());
    }
    return path;
}

uint64_t playPairs(DemoWriter &demo, BoardPlay &play, const std::vector<TilePair> &pairs, uint32_t gap)
{
    for (const TilePair &pair : pairs) {
        for (const int32_t tile : {pair.first, pair.second}) {
            Point p = {0, 0};
            if (!play.clickPoint(tile, p))
                return 0;
            demo.wait(gap);
            demo.click(p);
        }
        play.removePair(pair);
    }
    return demo.lastPressTime();
}

namespace {

uint32_t s_findSeed(uint32_t first, int32_t tries, bool clearing)
{
    for (uint32_t seed = first; seed < first + static_cast<uint32_t>(tries); ++seed) {
        const std::vector<TilePair> path = BoardPlay(seed, 0).greedy();
        const bool clears = path.size() * 2 == TM_TILE_COUNT;
        if (clearing ? clears : !path.empty() && !clears)
            return seed;
    }
    return 0;
}

} // namespace

uint32_t findWinningSeed(uint32_t first, int32_t tries)
{
    return s_findSeed(first, tries, true);
}

uint32_t findStuckSeed(uint32_t first, int32_t tries)
{
    return s_findSeed(first, tries, false);
}

// ---------------------------------------------------------------------------
// Dialog buttons

Point areYouSureOk()
{
    const Point back = imageSize("art/restart_areyousure.jpg");
    const Point ok = imageSize("art/besttimes_areyousure_yes.tga");
    const Point dialog = {tmscreen::kRestartConfirmX, (tmscreen::kScreenHeight - back.y) / 2};
    return {dialog.x + (back.x - ok.x) / 4 + ok.x / 2, dialog.y + back.y - (ok.y * 3) / 2 + ok.y / 2};
}

Point noMoreMovesEndGame()
{
    const Point back = imageSize("art/no_more_moves.jpg");
    const Point button = imageSize("art/no_more_moves_endgame.tga");
    const Point dialog = {(tmscreen::kScreenWidth - back.x) / 2 + tmscreen::kNoMoreMovesOffset.x,
                          (tmscreen::kScreenHeight - back.y) / 2 + tmscreen::kNoMoreMovesOffset.y};
    return {dialog.x + (back.x - button.x) / 2 + button.x / 2,
            dialog.y + tmscreen::kNoMoreMovesEndGameY + button.y / 2};
}

namespace {

struct RulesGeometry
{
    Point page;
    Point close;
    Point previous;
    Point next;
};

RulesGeometry s_rules()
{
    return {imageSize("art/rules_0_tl.jpg"), imageSize("art/rules_close_tl.tga"),
            imageSize("art/rules_prev_tl.tga"), imageSize("art/rules_next_tl.tga")};
}

} // namespace

Point rulesClose()
{
    const RulesGeometry g = s_rules();
    return {tmscreen::kRulesDialog.x + g.page.x / 4 + g.close.x / 2,
            tmscreen::kRulesDialog.y + g.page.y - (g.close.y * 5) / 4 + g.close.y / 2};
}

Point rulesPrevious()
{
    const RulesGeometry g = s_rules();
    return {tmscreen::kRulesDialog.x + (2 * g.page.x) / 3 + g.previous.x / 2,
            tmscreen::kRulesDialog.y + g.page.y - (g.previous.y * 3) / 2 + g.previous.y / 2};
}

Point rulesNext()
{
    const RulesGeometry g = s_rules();
    return {tmscreen::kRulesDialog.x + (2 * g.page.x) / 3 + 2 * g.previous.x + g.next.x / 2,
            tmscreen::kRulesDialog.y + g.page.y - (g.next.y * 3) / 2 + g.next.y / 2};
}

} // namespace demo
