// What the game-dialog tests share: a started game whose every modal
// drawing pass can run a step of the test (look at the open dialog, post the
// next input), events as the input device makes them, and the items of the
// open dialog found by name or place.
#ifndef TESTS_GAME_GAME_DIALOG_SUPPORT_H
#define TESTS_GAME_GAME_DIALOG_SUPPORT_H

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/media/HImage.h"
#include "framework/VGDialog.h"
#include "framework/VGDialogItem.h"
#include "game/game_test_support.h"

class DialogTilmar : public TestTilmar
{
public:
    using HPuzzleGame::m_musicVolume;

    // A dialog the test fails to close is ended by a quit after this many
    // drawing passes (each at least a millisecond).
    static constexpr int kMaxFrames = 5000;

    void onFrameDrawn() override
    {
        ++frames;
        if (onFrame)
            onFrame(frames);
        if (frames % kMaxFrames == 0) {
            runaway = true;
            HEvent quit;
            quit.type = ET_QUIT;
            getEventQueue().postEvent(quit);
        }
    }

    std::function<void(int)> onFrame;
    int frames = 0;
    bool runaway = false;
};

namespace dialog_events {

inline HEvent press(int32_t x, int32_t y)
{
    return gameEvent(ET_KEYDOWN, 0, KC_LBUTTON, x, y);
}
inline HEvent release(int32_t x, int32_t y)
{
    return gameEvent(ET_KEYUP, 0, KC_LBUTTON, x, y);
}
inline HEvent move(int32_t x, int32_t y)
{
    return gameEvent(ET_MOUSEMOVE, 0, 0, x, y);
}
inline HEvent enter()
{
    return gameEvent(ET_KEYDOWN, 0, KC_RETURN, 0, 0, 13);
}
inline HEvent typed(char c)
{
    return gameEvent(ET_KEYDOWN, 0, 0, 0, 0, static_cast<uint8_t>(c));
}
inline HEvent quit()
{
    return gameEvent(ET_QUIT, 0);
}
// A left press in the middle of an item's screen rectangle.
inline HEvent pressOn(const VGDialogItem &item)
{
    const HRect r = item.getRect();
    return press((r.x0 + r.x1) / 2, (r.y0 + r.y1) / 2);
}

} // namespace dialog_events

// Where a button sits in its dialog and which pictures it shows.
struct Placed
{
    int32_t x, y;
    std::string normal, highlighted;
    bool operator==(const Placed &o) const
    {
        return x == o.x && y == o.y && normal == o.normal && highlighted == o.highlighted;
    }
};

inline std::ostream &operator<<(std::ostream &out, const Placed &p)
{
    return out << "(" << p.x << ", " << p.y << ") " << p.normal << " / " << p.highlighted;
}

inline std::string nameOf(const VGSprite *sprite)
{
    return sprite ? sprite->getName() : "(none)";
}

// A button of an open dialog as placed: its screen rectangle's corner less
// the dialog's.
inline Placed placed(const VGDialogItem *item, const VGDialog &dialog)
{
    const auto *button = dynamic_cast<const VGDialogItemButton *>(item);
    if (!button)
        return {-1, -1, "(not a button)", ""};
    const HRect r = button->getRect();
    return {r.x0 - dialog.getBounds().x0, r.y0 - dialog.getBounds().y0, nameOf(button->getNormalImage()),
            nameOf(button->getHighlightedImage())};
}

inline int32_t widthOf(const VGDialogItem *item)
{
    const auto *button = dynamic_cast<const VGDialogItemButton *>(item);
    return button && button->getNormalImage() ? button->getNormalImage()->getWidth() : -1;
}

inline int32_t heightOf(const VGDialogItem *item)
{
    const auto *button = dynamic_cast<const VGDialogItemButton *>(item);
    return button && button->getNormalImage() ? button->getNormalImage()->getHeight() : -1;
}

// The innermost open dialog's items, in chain order.
inline std::vector<VGDialogItem *> openItems(int32_t depth = 0)
{
    std::vector<VGDialogItem *> items;
    if (VGDialog *dialog = VGDialog::getOpenDialog(depth))
        for (VGDialogItem *item = dialog->getFirstItem(); item; item = item->getNext())
            items.push_back(item);
    return items;
}

inline VGDialogItem *openItem(const char *name)
{
    for (VGDialogItem *item : openItems())
        if (std::string(item->getName()) == name)
            return item;
    return nullptr;
}

class GameDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(startGame(game, home));
        drain();
    }
    void TearDown() override { stopGame(game); }

    void post(const HEvent &event) { EXPECT_TRUE(game.getEventQueue().postEvent(event)); }
    void post(const std::vector<HEvent> &events)
    {
        for (const HEvent &e : events)
            post(e);
    }
    // Takes everything queued, the queue's own timestamps left out.
    std::vector<HEvent> drain()
    {
        std::vector<HEvent> events;
        HEvent e;
        while (game.getEventQueue().getEvent(e, false))
            if (e.type != ET_TIMESTAMP)
                events.push_back(e);
        return events;
    }
    // Runs a step of the test on each drawing pass of the modal loops.
    void everyFrame(std::function<void(int)> step)
    {
        game.frames = 0;
        game.onFrame = std::move(step);
    }
    // Replaces an art slot with a solid picture of its own size.
    void replaceArt(int32_t slot, int32_t width, int32_t height)
    {
        VGSprite &sprite = game.m_sprites[slot];
        while (sprite.isLoaded())
            sprite.unload();
        HImage image(width, height, FORMAT_32BPP);
        for (int32_t i = 0; i < width * height * 4; ++i)
            image.getData()[i] = 0xFF;
        ASSERT_TRUE(sprite.createFromImage(game.getDisplayDevice(), &image));
    }

    tilmar_test::TempDir home;
    DialogTilmar game;
};

#endif
