#include "framework/dialogs/dialog_fixture.h"

namespace dialog_test {

::testing::AssertionResult rectIs(const HRect &r, int x0, int y0, int x1, int y1)
{
    if (r.x0 == x0 && r.y0 == y0 && r.x1 == x1 && r.y1 == y1)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "(" << r.x0 << ", " << r.y0 << ", " << r.x1 << ", " << r.y1 << ")";
}

bool covers(const HDirtyRectList &list, const HRect &rect)
{
    for (int32_t i = 0; i < list.getCount(); ++i) {
        if (list.getRect(i).containsRect(rect))
            return true;
    }
    return false;
}

void clearDialogDirtyList()
{
    VGDialog clearing;
    (void)clearing;
}

void DialogTest::SetUp()
{
    FakeClock::now = 100000;
    FakeClock::sleepStep = 1;
    HEventQueue::setTimeFunctions(&FakeClock::read, &FakeClock::sleep);
    VGDialogItemTextLine::setClockFunction(&FakeClock::read);
    VGDialogItemTextLine::setLastRedrawTime(0);
    files.mount(dir.path().c_str());
    game = new DialogGame(&files);
    ASSERT_NE(game->getDisplayDevice(), nullptr);
    game->setLastEventTime(FakeClock::now);
}

void DialogTest::TearDown()
{
    for (VGSprite *sprite : sprites) {
        sprite->unload();
        delete sprite;
    }
    sprites.clear();
    EXPECT_FALSE(game->runaway) << "a modal loop had to be stopped";
    EXPECT_EQ(VGDialog::getOpenDialogCount(), 0);
    delete game;
    files.shutdown();
    HEventQueue::setTimeFunctions(nullptr, nullptr);
    VGDialogItemTextLine::setClockFunction(nullptr);
}

std::vector<HEvent> DialogTest::drain()
{
    std::vector<HEvent> events;
    HEvent e;
    while (queue().getEvent(e, false)) {
        if (e.type != ET_TIMESTAMP)
            events.push_back(e);
    }
    return events;
}

void DialogTest::writeImage(const std::string &name, int width, int height, uint32_t rgba)
{
    const std::string bytes = tilmar_test::tga32(width, height, [rgba](int, int) { return rgba; });
    ASSERT_TRUE(tilmar_test::writeFile(dir / name, bytes));
}

VGSprite *DialogTest::image(const std::string &name, int width, int height, uint32_t rgba)
{
    writeImage(name, width, height, rgba);
    VGSprite *sprite = new VGSprite;
    sprites.push_back(sprite);
    EXPECT_TRUE(sprite->load(display(), &files, name.c_str())) << name;
    return sprite;
}

uint16_t DialogTest::screenAt(int x, int y) const
{
    return screenPixel(game->getDisplayDevice(), x, y);
}

void DialogTest::clearScreen()
{
    const float black[3] = {0, 0, 0};
    display()->clear(black);
}

} // namespace dialog_test
