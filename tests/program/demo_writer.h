// A test tool that writes demo files for the real program: a person's input
// as a run of 44-byte event records with the times they would carry, and a
// copy of the game's board, dealt and played with the game's own board code,
// that says where to click. The program plays a demo back without waiting
// and seeds its generator from the first record's time, so the deal, every
// click and every clock reading of a run are known before it starts.
#ifndef TESTS_PROGRAM_DEMO_WRITER_H
#define TESTS_PROGRAM_DEMO_WRITER_H

#include <cstdint>
#include <string>
#include <vector>

#include "engine/core/HRNG.h"
#include "engine/media/HEvent.h"
#include "game/TMBoard.h"
#include "game/TMScreenLayout.h"

class HFileSystem;

namespace demo {

using tmscreen::Point;

// Input events in event time. The first record is a timestamp at the seed,
// the first non-zero time the program sees; every later record is a little
// later than the one before, as a person's input would be.
class DemoWriter
{
public:
    // The seed must not be 0: a record at time 0 seeds nothing.
    explicit DemoWriter(uint32_t seed);

    uint64_t now() const { return m_clock; }
    // The time of the last button press written.
    uint64_t lastPressTime() const { return m_lastPress; }

    // Lets `ms` milliseconds pass: a timestamp every tick, as an idle
    // program's queue posts them, and one at the end.
    void wait(uint32_t ms);
    void moveTo(Point p);
    void press(Point p, int32_t button = KC_LBUTTON);
    void release(Point p, int32_t button = KC_LBUTTON);
    // Move there, press, release; answers the time of the press.
    uint64_t click(Point p);
    // Press at `from`, move to `to` in a few steps, release there.
    void drag(Point from, Point to);
    // A key going down with its character, then up; answers the time of
    // the key-down, the record that dialogs act on.
    uint64_t key(int32_t keyCode, uint8_t character, int32_t modifiers = 0);
    // Letters (capitals with shift), digits and blanks, as typed.
    void type(const std::string &text);
    void backspaces(int32_t count);
    uint64_t enter();
    // A request to close the window; answers its time.
    uint64_t quit();
    // The window gaining or losing the focus, the pointer's included.
    void activate(bool gained);

    const std::vector<HEvent> &records() const { return m_records; }
    bool save(const std::string &path) const;

private:
    HEvent &m_add(HEventType type);

    std::vector<HEvent> m_records;
    uint64_t m_clock;
    uint64_t m_lastPress;
};

// The build's resource archive, mounted with the engine's archive reader.
HFileSystem *resources();
// An archive picture's size as the engine's image loaders read it; 0 x 0
// when it is missing.
Point imageSize(const char *name);

struct TilePair
{
    int32_t first;   // clicked first: the tile that gets selected
    int32_t second;  // clicked second: the match
};

// The game's board replayed: dealt as the game deals it when a game starts
// on a generator seeded as the game seeds it, and changed as the game
// changes it for each click, undo and shuffle the demo asks for.
class BoardPlay
{
public:
    BoardPlay(uint32_t seed, int32_t layout);

    TMBoard &board() { return m_board; }
    const TMBoard &board() const { return m_board; }

    // A point on the tile's face that the board's hit test gives to the
    // tile, off the head-up display; false when the tile shows nowhere.
    bool clickPoint(int32_t tile, Point &out) const;

    void removePair(const TilePair &pair);
    void undo();
    // The generator goes on from the deal, as the game's does.
    void shuffle();

    // The pairs a player takes who always takes the first pair the board's
    // findPair offers, from here until none is left; the board stays as it
    // is. Whether they clear the board depends on the deal.
    std::vector<TilePair> greedy() const;

private:
    HMersenneTwisterRNG m_rng;
    TMBoard m_board;
};

// Where the tool clicks a control: a few pixels inside its top-left corner.
Point inside(Point topLeft);
Point offset(Point p, Point by);

// Writes the two clicks of each pair, `gap` ms apart, and plays them on
// the board; answers the time of the last press, 0 when a tile had no
// point to click.
uint64_t playPairs(DemoWriter &demo, BoardPlay &play, const std::vector<TilePair> &pairs, uint32_t gap);

// The first seed from `first` on whose classic deal greedy play clears the
// board, or, for findStuckSeed, ends with tiles left and no pair; 0 when
// none of `tries` seeds does.
uint32_t findWinningSeed(uint32_t first, int32_t tries);
uint32_t findStuckSeed(uint32_t first, int32_t tries);

// Positions of the dialogs' buttons that the framework places from the
// sizes of their pictures.
Point areYouSureOk();
Point noMoreMovesEndGame();
Point rulesClose();
Point rulesNext();
Point rulesPrevious();

} // namespace demo

#endif
