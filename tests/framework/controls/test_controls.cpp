// Screen controls, the control manager and the sprite delegate, driven by
// events as the main loop hands them on.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/media/H2DDisplayDevice.h"
#include "engine/media/HImage.h"
#include "framework/UIControl.h"
#include "framework/UIManager.h"
#include "framework/VGControlDelegate.h"
#include "framework/framework_test_support.h"

namespace {

// A delegate of a fixed size that records what it is asked.
class SizeDelegate : public UIControlDelegate
{
public:
    SizeDelegate(int w, int h, int *deletions = nullptr) : m_w(w), m_h(h), m_deletions(deletions) {}
    ~SizeDelegate() override
    {
        if (m_deletions)
            ++*m_deletions;
    }
    void draw(UIControl *control, const HRect &clip) override
    {
        clips.push_back(clip);
        if (onDraw)
            onDraw(control);
    }
    void invalidate(UIControl *) override { ++invalidations; }
    void getSize(int32_t &width, int32_t &height) override
    {
        width = m_w;
        height = m_h;
    }
    std::vector<HRect> clips;
    int invalidations = 0;
    std::function<void(UIControl *)> onDraw;

private:
    int m_w, m_h;
    int *m_deletions;
};

class TestControl : public UIControl
{
public:
    TestControl(int x, int y, int w, int h, int *deletions = nullptr)
        : UIControl(new SizeDelegate(w, h, deletions))
    {
        setPosition(x, y);
    }
    void onPress() override { ++presses; }
    void onClick() override { ++clicks; }
    void onDrag(const HEvent &) override { ++drags; }
    bool acceptsFocus() const override { return focusable; }
    bool capturesMouse() const override { return captures; }
    bool isVisible() const override { return visible; }
    SizeDelegate *sizeDelegate() const { return static_cast<SizeDelegate *>(getDelegate()); }

    int presses = 0, clicks = 0, drags = 0;
    bool focusable = false, captures = true, visible = true;
};

class ControlTest : public ::testing::Test
{
protected:
    void TearDown() override { manager.deleteAllControls(); }
    TestControl *add(int x, int y, int w, int h)
    {
        TestControl *c = new TestControl(x, y, w, h);
        EXPECT_EQ(manager.addControl(c), 0);
        return c;
    }
    UIManager manager;
};

TEST_F(ControlTest, NewControlContainsNoScreenPoint)
{
    UIControl c(nullptr);
    for (int y : {0, 240, 479})
        for (int x : {0, 320, 639})
            EXPECT_FALSE(c.getRect().contains(x, y));
    EXPECT_TRUE(c.isEnabled());
    EXPECT_FALSE(c.isHovered());
    EXPECT_FALSE(c.isPressed());
}

TEST_F(ControlTest, PressAndReleaseSequences)
{
    struct Case
    {
        const char *name;
        std::vector<HEvent> events;
        int presses, clicks;
        bool pressedAtEnd, hoveredAtEnd;
    } cases[] = {
        {"inside, inside", {clickAt(15, 15), releaseAt(15, 15)}, 1, 1, false, false},
        {"inside, outside", {clickAt(15, 15), releaseAt(100, 100)}, 1, 0, false, false},
        {"edges count as inside", {clickAt(30, 30), releaseAt(10, 10)}, 1, 1, false, false},
        {"drag out and back in",
         {clickAt(15, 15), moveTo(100, 100), moveTo(20, 20),
          releaseAt(20, 20)},
         1, 1, false, true},
        {"drag out, release outside",
         {clickAt(15, 15), moveTo(100, 100), releaseAt(100, 100)}, 1, 0, false,
         false},
        {"press outside", {clickAt(5, 5), releaseAt(15, 15)}, 0, 0, false, false},
        {"right button", {keyDown(KC_RBUTTON, 0, 15, 15), keyUp(KC_RBUTTON, 0, 15, 15)}, 0, 0, false,
         false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        UIManager m;
        TestControl *control = new TestControl(10, 10, 20, 20);
        m.addControl(control);
        for (const HEvent &e : c.events)
            m.handleEvent(e);
        EXPECT_EQ(control->presses, c.presses);
        EXPECT_EQ(control->clicks, c.clicks);
        EXPECT_EQ(control->isPressed(), c.pressedAtEnd);
        EXPECT_EQ(control->isHovered(), c.hoveredAtEnd);
        EXPECT_EQ(m.getCaptured(), nullptr);
        m.deleteAllControls();
    }
}

TEST_F(ControlTest, CapturedControlShowsPressedExactlyWhileThePointerIsOver)
{
    TestControl *c = add(10, 10, 20, 20);
    EXPECT_TRUE(manager.handleEvent(clickAt(15, 15)));
    EXPECT_TRUE(c->isPressed());
    EXPECT_EQ(manager.getCaptured(), c);
    // While captured, motion is consumed and reaches onDrag.
    EXPECT_TRUE(manager.handleEvent(moveTo(100, 100)));
    EXPECT_FALSE(c->isPressed());
    EXPECT_FALSE(c->isHovered());
    EXPECT_TRUE(manager.handleEvent(moveTo(12, 12)));
    EXPECT_TRUE(c->isPressed());
    EXPECT_TRUE(c->isHovered());
    EXPECT_EQ(c->drags, 2);
}

TEST_F(ControlTest, MotionOutsideACaptureIsNeverConsumed)
{
    TestControl *a = add(10, 10, 50, 50);
    TestControl *b = add(30, 30, 50, 50);
    EXPECT_FALSE(manager.handleEvent(moveTo(40, 40)));
    EXPECT_TRUE(a->isHovered());
    EXPECT_TRUE(b->isHovered());
    EXPECT_FALSE(manager.handleEvent(moveTo(15, 15)));
    EXPECT_TRUE(a->isHovered());
    EXPECT_FALSE(b->isHovered());
}

TEST_F(ControlTest, LastAddedIsOfferedFirstAndDrawnFirst)
{
    TestControl *first = add(10, 10, 50, 50);
    TestControl *second = add(10, 10, 50, 50);
    manager.handleEvent(clickAt(20, 20));
    EXPECT_EQ(second->presses, 1);
    EXPECT_EQ(first->presses, 0);

    std::vector<UIControl *> order;
    first->sizeDelegate()->onDraw = [&](UIControl *c) { order.push_back(c); };
    second->sizeDelegate()->onDraw = [&](UIControl *c) { order.push_back(c); };
    manager.draw(HRect(0, 0, 640, 480));
    EXPECT_EQ(order, (std::vector<UIControl *>{second, first}));
}

TEST_F(ControlTest, DisabledAndInvisibleControls)
{
    TestControl *c = add(10, 10, 20, 20);
    c->setEnabled(false);
    // Skipped by the routing...
    EXPECT_FALSE(manager.handleEvent(clickAt(15, 15)));
    EXPECT_EQ(c->presses, 0);
    // ...still drawn (with its disabled look)...
    manager.draw(HRect(0, 0, 640, 480));
    EXPECT_EQ(c->sizeDelegate()->clips.size(), 1u);
    // ...and still given the made-up motion of a pointer refresh.
    manager.updatePointer(15, 15);
    EXPECT_TRUE(c->isHovered());

    c->setEnabled(true);
    c->visible = false;
    manager.draw(HRect(0, 0, 640, 480));
    EXPECT_EQ(c->sizeDelegate()->clips.size(), 1u);
    EXPECT_FALSE(manager.handleEvent(clickAt(15, 15)));
    manager.updatePointer(15, 15);
    EXPECT_FALSE(c->isHovered()); // reset, and not offered the motion
}

TEST_F(ControlTest, UnchangedStateAsksForNoRedraw)
{
    TestControl *c = add(10, 10, 20, 20);
    const int before = c->sizeDelegate()->invalidations;
    c->setHovered(true);
    c->setHovered(true);
    c->setPressed(false);
    EXPECT_EQ(c->sizeDelegate()->invalidations, before + 1);
}

TEST_F(ControlTest, PressWithoutCaptureNeverClicks)
{
    TestControl *c = add(10, 10, 20, 20);
    c->captures = false;
    manager.handleEvent(clickAt(15, 15));
    manager.handleEvent(releaseAt(15, 15));
    EXPECT_EQ(c->presses, 1);
    EXPECT_EQ(c->clicks, 0);
    EXPECT_EQ(manager.getCaptured(), nullptr);
}

// A control that hides itself or is disabled while it holds the mouse (the
// game's start button hides in its own press) must not come back pressed.
TEST_F(ControlTest, ReleaseAfterTheCapturedControlWentAwayLeavesItUnpressed)
{
    struct Case
    {
        const char *name;
        bool hide, disable, focused;
        int clicks; // a focused control is still offered the release
    } cases[] = {
        {"hidden", true, false, false, 0},
        {"disabled", false, true, false, 0},
        {"hidden and disabled", true, true, false, 0},
        {"hidden but focused", true, false, true, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        UIManager m;
        TestControl *gone = new TestControl(10, 10, 20, 20);
        // Under the release point too; it saw no press, so it takes no click.
        TestControl *beneath = new TestControl(10, 10, 20, 20);
        m.addControl(beneath);
        m.addControl(gone);
        gone->focusable = c.focused;
        ASSERT_TRUE(m.handleEvent(clickAt(15, 15)));
        ASSERT_EQ(m.getCaptured(), gone);
        ASSERT_TRUE(gone->isPressed());
        gone->visible = !c.hide;
        if (c.disable)
            gone->setEnabled(false);
        // Motion while it is away does not end the capture.
        m.handleEvent(moveTo(16, 16));
        EXPECT_EQ(m.getCaptured(), gone);

        m.handleEvent(releaseAt(15, 15));
        EXPECT_FALSE(gone->isPressed());
        EXPECT_EQ(m.getCaptured(), nullptr);
        EXPECT_EQ(gone->clicks, c.clicks);
        EXPECT_EQ(beneath->clicks, 0);

        // Back again, it shows only what the pointer does.
        gone->visible = true;
        gone->setEnabled(true);
        m.handleEvent(moveTo(100, 100));
        EXPECT_FALSE(gone->isPressed());
        EXPECT_FALSE(gone->isHovered());
        m.deleteAllControls();
    }
}

TEST_F(ControlTest, FocusWalk)
{
    // Added last first, so the list reads a, b, c.
    TestControl *c = add(200, 10, 20, 20);
    TestControl *b = add(100, 10, 20, 20);
    TestControl *a = add(10, 10, 20, 20);
    for (TestControl *t : {a, b, c})
        t->focusable = true;
    struct Case
    {
        UIControl *focused;
        UIControl *next;
    } cases[] = {{b, c}, {c, b}, {a, b}, {nullptr, c}};
    for (const Case &k : cases) {
        manager.setFocus(k.focused);
        manager.focusNext();
        EXPECT_EQ(manager.getFocus(), k.next);
    }
    b->setEnabled(false);
    manager.setFocus(a);
    manager.focusNext();
    EXPECT_EQ(manager.getFocus(), c);
    for (TestControl *t : {a, c})
        t->focusable = false;
    manager.focusNext();
    EXPECT_EQ(manager.getFocus(), nullptr);
}

TEST_F(ControlTest, PressSetsOrClearsTheFocusAndTabMovesIt)
{
    TestControl *b = add(100, 10, 20, 20);
    TestControl *a = add(10, 10, 20, 20);
    TestControl *plain = add(300, 10, 20, 20);
    a->focusable = b->focusable = true;
    manager.handleEvent(clickAt(15, 15));
    manager.handleEvent(releaseAt(15, 15));
    EXPECT_EQ(manager.getFocus(), a);
    EXPECT_TRUE(manager.handleEvent(tabKey()));
    EXPECT_EQ(manager.getFocus(), b);
    manager.handleEvent(clickAt(305, 15));
    EXPECT_EQ(manager.getFocus(), nullptr);
    EXPECT_EQ(plain->presses, 1);
}

TEST_F(ControlTest, RemovedAndDeletedControls)
{
    int deletions = 0;
    TestControl *c = new TestControl(10, 10, 20, 20, &deletions);
    manager.addControl(c);
    EXPECT_EQ(c->getManager(), &manager);
    manager.handleEvent(clickAt(15, 15));
    ASSERT_EQ(manager.getCaptured(), c);
    manager.removeControl(c);
    EXPECT_EQ(manager.getCaptured(), nullptr);
    EXPECT_FALSE(manager.handleEvent(releaseAt(15, 15)));
    manager.addControl(c);

    manager.deleteAllControls();
    EXPECT_EQ(deletions, 1); // the control took its delegate with it
    EXPECT_EQ(manager.getControls(), nullptr);
    EXPECT_FALSE(manager.handleEvent(clickAt(15, 15)));
    manager.draw(HRect(0, 0, 640, 480));
    manager.updatePointer(15, 15);
    TestControl late(0, 0, 1, 1);
    EXPECT_EQ(manager.addControl(&late), 1);
    EXPECT_EQ(late.getManager(), nullptr);
}

// ---- the sprite delegate, over a real display ----

class DelegateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(game.setUpInProcess());
        H2DDisplayDevice *d = game.getDisplayDevice();
        normal = solidSprite(d, 40, 20, 0xFFFF0000);
        highlighted = solidSprite(d, 40, 20, 0xFF00FF00);
        disabled = solidSprite(d, 40, 20, 0xFF0000FF);
        pressed = solidSprite(d, 44, 24, 0xFFFFFFFF);
    }
    void TearDown() override
    {
        for (VGSprite *s : {normal, highlighted, disabled, pressed}) {
            s->unload();
            delete s;
        }
        game.tearDownInProcess();
    }
    uint16_t screenAt(int x, int y) { return screenPixel(game.getDisplayDevice(), x, y); }
    // A control at (100, 100) drawn by a sprite delegate, as the game builds
    // its controls.
    UIControl *addSpriteControl(VGControlDelegate *&delegate, VGSprite *disabledSprite)
    {
        delegate = new VGControlDelegate();
        UIControl *control = new UIControl(delegate);
        game.addControl(control);
        control->setPosition(100, 100);
        delegate->setSprites(normal, highlighted, disabledSprite, nullptr);
        return control;
    }
    TestGame game;
    VGSprite *normal, *highlighted, *disabled, *pressed;
};

TEST_F(DelegateTest, SpriteForStateAndSize)
{
    VGControlDelegate *delegate;
    UIControl *control = addSpriteControl(delegate, disabled);
    EXPECT_EQ(control->getRect().x1, 140);
    EXPECT_EQ(control->getRect().y1, 120);

    struct Case
    {
        bool enabled, pressedState, hovered;
        VGSprite *expected;
    } cases[] = {
        {true, false, false, normal},   {true, false, true, highlighted}, {true, true, true, highlighted},
        {false, false, true, disabled}, {false, true, false, disabled},
    };
    for (const Case &c : cases) {
        control->setEnabled(c.enabled);
        control->setHovered(c.hovered);
        control->setPressed(c.pressedState);
        EXPECT_EQ(delegate->m_getSpriteForState(control), c.expected);
    }
    // A pressed sprite, when set, is shown while pressed and decides the size.
    delegate->setSprites(normal, highlighted, disabled, pressed);
    control->setEnabled(true);
    control->setPressed(true);
    EXPECT_EQ(delegate->m_getSpriteForState(control), pressed);
    EXPECT_EQ(control->getRect().x1, 144);
    EXPECT_EQ(control->getRect().y1, 124);

    // The same sprites again change nothing and ask for no redraw.
    game.getDirtyRects().clear();
    delegate->setSprites(normal, highlighted, disabled, pressed);
    EXPECT_EQ(game.getDirtyRects().getCount(), 0);
    // A state change asks the game to redraw the control's rectangle.
    control->setHovered(!control->isHovered());
    ASSERT_EQ(game.getDirtyRects().getCount(), 1);
    EXPECT_EQ(game.getDirtyRects().getRect(0).x0, 100);
    EXPECT_EQ(game.getDirtyRects().getRect(0).x1, 144);
}

TEST_F(DelegateTest, DrawsTheStateSpriteClippedToTheRectangle)
{
    VGControlDelegate *delegate;
    UIControl *control = addSpriteControl(delegate, nullptr);
    (void)delegate;
    const float black[3] = {0, 0, 0};
    game.getDisplayDevice()->clear(black);

    // Only the part inside the clip rectangle is drawn.
    game.getUIManager().draw(HRect(0, 0, 120, 640));
    EXPECT_NE(screenAt(110, 110), 0);
    EXPECT_EQ(screenAt(125, 110), 0);

    // Disabled without a disabled sprite draws nothing.
    game.getDisplayDevice()->clear(black);
    control->setEnabled(false);
    game.getUIManager().draw(HRect(0, 0, 640, 480));
    EXPECT_EQ(screenAt(110, 110), 0);
}

TEST_F(DelegateTest, DirtyListGrowingWhileItIsDrawn)
{
    // A control whose drawing asks for another, separate rectangle: the
    // same frame must draw it too, and nothing reads a stale entry.
    SizeDelegate *hook = new SizeDelegate(10, 10);
    UIControl *control = new UIControl(hook);
    control->setPosition(0, 0);
    game.addControl(control);
    int added = 0;
    hook->onDraw = [&](UIControl *) {
        if (added < 40) {
            ++added;
            game.m_addDirtyRect(HRect(15 * added, 300, 15 * added + 5, 305));
        }
    };
    game.getDirtyRects().clear();
    game.m_addDirtyRect(HRect(0, 0, 10, 10));
    game.m_draw(false);
    EXPECT_EQ(added, 40);
    ASSERT_EQ(hook->clips.size(), 41u);
    EXPECT_EQ(game.drawn.size(), 1u); // the game drew the list as it stood
}

} // namespace

namespace {

TEST(ControlClassRecords, NamesAndBases)
{
    struct Case
    {
        const char *name;
        const char *base;
    } cases[] = {{"UIControl", "HObject"}, {"UIManager", "HObject"}, {"VGControlDelegate", "UIRenderDelegate"}};
    for (const Case &c : cases) {
        const HClassInfo *info = HClassInfo::find(c.name);
        ASSERT_NE(info, nullptr) << c.name;
        EXPECT_STREQ(info->m_baseClassName, c.base);
    }
    // The delegate's base name is not a registered class, and the abstract
    // delegate answers HObject's record.
    EXPECT_EQ(HClassInfo::find("UIRenderDelegate"), nullptr);
    VGControlDelegate delegate;
    EXPECT_TRUE(delegate.isExactly(&VGControlDelegate::s_classInfo));
    UIControl control(nullptr);
    EXPECT_TRUE(control.isKindOf(&HObject::s_classInfo));
}

} // namespace
