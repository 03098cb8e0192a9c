// The dialog items: buttons, text lines, progress bars and sliders, alone
// and inside a running dialog.
#include "framework/dialogs/dialog_fixture.h"

#include <cmath>
#include <limits>

using namespace dialog_test;

namespace {

bool dirtyCovers(const HRect &rect)
{
    return covers(VGDialog::getDirtyRects(), rect);
}

} // namespace

TEST(DialogItemRecords, RegisteredWithTheirBases)
{
    const char *const names[] = {"VGDialogItem", "VGDialogItemButton", "VGDialogItemProgressBar",
                                 "VGDialogItemTextLine", "VGDialogItemSlider"};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(names[i]);
        const HClassInfo *record = HClassInfo::find(names[i]);
        ASSERT_NE(record, nullptr);
        EXPECT_STREQ(record->m_baseClassName, i == 0 ? "HObject" : "VGDialogItem");
    }
    EXPECT_STREQ(VGDialog::s_classInfo.m_baseClassName, "HObject");
    VGDialogItemSlider slider;
    EXPECT_TRUE(slider.isKindOf(&VGDialogItem::s_classInfo));
    EXPECT_STREQ(slider.getClassName(), "VGDialogItemSlider");
}

TEST(DialogItemDefaults, NewItemsStartEmptyEnabledAndUnplaced)
{
    VGDialogItem item;
    EXPECT_STREQ(item.getName(), "");
    EXPECT_EQ(item.getUserData(), nullptr);
    EXPECT_TRUE(rectIs(item.getRect(), 0, 0, 0, 0));
    EXPECT_TRUE(item.isEnabled());
    EXPECT_FALSE(item.acceptsFocus());
    EXPECT_EQ(item.getDialog(), nullptr);
    EXPECT_EQ(item.getNext(), nullptr);

    const std::string longName(300, 'n');
    item.setName(longName.c_str());
    EXPECT_EQ(std::string(item.getName()), longName.substr(0, 255));

    VGDialogItemTextLine line;
    EXPECT_TRUE(rectIs(line.getRect(), -1, -1, -1, -1));
    EXPECT_EQ(line.getMaxLength(), 1023);
    EXPECT_EQ(line.getVisibleLength(), 64);
    EXPECT_FALSE(line.acceptsFocus());
    line.setEditable(true);
    EXPECT_TRUE(line.acceptsFocus());
}

TEST_F(DialogTest, ButtonRectangleTakesTheLastImageGivenAndTheDialogCorner)
{
    VGSprite *normal = image("n.tga", 40, 20);
    VGSprite *high = image("h.tga", 50, 30);
    VGSprite *off = image("d.tga", 60, 10);
    struct Case
    {
        const char *what;
        VGSprite *n, *h, *d;
        int width, height;
    };
    const Case cases[] = {
        {"normal only", normal, nullptr, nullptr, 40, 20},
        {"normal and highlighted", normal, high, nullptr, 50, 30},
        {"all three", normal, high, off, 60, 10},
        {"disabled only", nullptr, nullptr, off, 60, 10},
        {"no image", nullptr, nullptr, nullptr, 0, 0},
    };
    VGDialog dialog;
    dialog.setPosition(100, 50);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        VGDialogItemButton button;
        button.setImages(c.n, c.h, c.d);
        button.setPosition(10, 5);
        EXPECT_TRUE(rectIs(button.getRect(), 10, 5, 10 + c.width, 5 + c.height));
        dialog.addItem(&button);
        EXPECT_TRUE(rectIs(button.getRect(), 110, 55, 110 + c.width, 55 + c.height));
        dialog.removeAllItems();
    }
}

TEST_F(DialogTest, ButtonHoversTakesPressesInsideAndEveryEnter)
{
    VGDialog dialog;
    dialog.setPosition(100, 50);
    VGSprite *face = image("n.tga", 40, 20);
    VGDialogItemButton button;
    button.setImages(face, face, nullptr);
    button.setPosition(10, 10);
    dialog.addItem(&button); // screen (110, 60, 150, 80)

    struct Case
    {
        const char *what;
        HEvent event;
        bool enabled;
        bool taken;
        bool hoveredAfter;
        bool redraws;
    };
    const Case cases[] = {
        {"motion inside starts the hover", moveTo(120, 70), true, false, true, true},
        {"more motion inside changes nothing", moveTo(149, 79), true, false, true, false},
        {"motion outside ends it", moveTo(151, 70), true, false, false, true},
        {"press inside", clickAt(110, 60), true, true, false, false},
        {"press outside", clickAt(109, 60), true, false, false, false},
        {"Enter far away", enterKey(), true, true, false, false},
        {"right button inside", keyDown(KC_RBUTTON, 0, 120, 70), true, false, false, false},
        {"release inside", releaseAt(120, 70), true, false, false, false},
        {"disabled: motion inside", moveTo(120, 70), false, false, false, false},
        {"disabled: press inside", clickAt(120, 70), false, false, false, false},
        {"disabled: Enter", enterKey(), false, false, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        button.setEnabled(c.enabled);
        clearDialogDirtyList();
        EXPECT_EQ(button.handleEvent(c.event), c.taken);
        EXPECT_EQ(button.isHovered(), c.hoveredAfter);
        EXPECT_EQ(VGDialog::getDirtyRects().getCount() > 0, c.redraws);
        if (c.redraws) {
            EXPECT_TRUE(dirtyCovers(HRect(110, 60, 150, 80)));
        }
    }
}

TEST_F(DialogTest, ButtonDrawsTheImageOfItsStateClippedToTheRectangle)
{
    VGSprite *normal = image("n.tga", 20, 20, 0xFF0000FF);
    VGSprite *high = image("h.tga", 20, 20, 0x00FF00FF);
    VGSprite *off = image("d.tga", 20, 20, 0x0000FFFF);
    const uint16_t red = normal->getSurface()->getPixels()[0];
    const uint16_t green = high->getSurface()->getPixels()[0];
    const uint16_t blue = off->getSurface()->getPixels()[0];
    VGSprite unloaded;
    ASSERT_FALSE(unloaded.load(display(), &files, "missing.tga"));
    struct Case
    {
        const char *what;
        VGSprite *highlighted, *disabled;
        bool hovered, enabled;
        uint16_t expected; // 0: nothing drawn
    };
    const Case cases[] = {
        {"normal", high, off, false, true, red},
        {"hovered", high, off, true, true, green},
        {"hovered without a highlighted image", nullptr, off, true, true, 0},
        {"hovered with a highlighted picture that did not load", &unloaded, off, true, true, red},
        {"disabled", high, off, false, false, blue},
        {"disabled without a disabled image", high, nullptr, false, false, 0},
    };
    VGDialog dialog;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        VGDialogItemButton button;
        button.setImages(normal, c.highlighted, c.disabled);
        button.setPosition(100, 100);
        dialog.addItem(&button); // (100, 100, 120, 120)
        if (c.hovered)
            button.handleEvent(moveTo(105, 105));
        button.setEnabled(c.enabled);
        clearScreen();
        button.draw(display(), HRect(0, 0, 640, 480));
        EXPECT_EQ(screenAt(100, 100), c.expected);
        EXPECT_EQ(screenAt(119, 119), c.expected);
        EXPECT_EQ(screenAt(120, 120), 0);
        dialog.removeAllItems();
    }

    // Only the part inside the clip rectangle; nothing when they miss.
    VGDialogItemButton button;
    button.setImages(normal, normal, nullptr);
    button.setPosition(100, 100);
    clearScreen();
    button.draw(display(), HRect(110, 105, 300, 300));
    EXPECT_EQ(screenAt(110, 105), red);
    EXPECT_EQ(screenAt(119, 119), red);
    EXPECT_EQ(screenAt(109, 110), 0);
    EXPECT_EQ(screenAt(115, 104), 0);
    clearScreen();
    button.draw(display(), HRect(200, 200, 300, 300));
    EXPECT_EQ(screenAt(110, 110), 0);
}

TEST(DialogItemTextLine, LengthsAndTextCuts)
{
    const std::string longText(2000, 'x');
    VGDialogItemTextLine line;
    line.setText(longText.c_str());
    EXPECT_EQ(line.getLength(), 1023);

    struct Case
    {
        int32_t maxLength;
        int32_t expectedMax;
        int32_t expectedLength; // of the long text set afterwards
    };
    for (const Case c : {Case{12, 12, 12}, Case{1023, 1023, 1023}, Case{5000, 1023, 1023}, Case{-3, 0, 0}}) {
        SCOPED_TRACE(c.maxLength);
        line.setText("held");
        line.setMaxLength(c.maxLength);
        EXPECT_EQ(line.getMaxLength(), c.expectedMax);
        EXPECT_EQ(line.getVisibleLength(), c.expectedMax);
        EXPECT_STREQ(line.getText(), "held") << "the text already held stays";
        line.setText(longText.c_str());
        EXPECT_EQ(line.getLength(), c.expectedLength);
        EXPECT_EQ(std::string(line.getText()), longText.substr(0, c.expectedLength));
    }
    line.setMaxLength(20);
    line.setVisibleLength(5);
    EXPECT_EQ(line.getMaxLength(), 20);
    EXPECT_EQ(line.getVisibleLength(), 5);
    line.setText(nullptr);
    EXPECT_EQ(line.getLength(), 0);
}

TEST_F(DialogTest, TextLineSetTextRedrawsTheBoundsUntilItHasARectangle)
{
    VGDialog dialog;
    dialog.setPosition(100, 50);
    dialog.setBackground(image("bg.tga", 200, 100));
    VGDialogItemTextLine line;
    dialog.addItem(&line);
    clearDialogDirtyList();
    line.setText("abc");
    EXPECT_TRUE(dirtyCovers(HRect(100, 50, 300, 150)));

    // Its rectangle is relative to the dialog and redrawn as stored.
    line.setRect(HRect(500, 400, 520, 410));
    clearDialogDirtyList();
    line.setText("abcd");
    ASSERT_EQ(VGDialog::getDirtyRects().getCount(), 1);
    EXPECT_TRUE(rectIs(VGDialog::getDirtyRects().getRect(0), 500, 400, 520, 410));
}

TEST_F(DialogTest, TypingIntoTheFocusedLine)
{
    struct Case
    {
        const char *what;
        std::string keys;
        int32_t maxLength;
        std::string expected;
    };
    const Case cases[] = {
        {"three letters", "abc", 1023, "abc"},
        {"backspace takes the last one", "abc\b", 1023, "ab"},
        {"backspace on an empty line", "\b\ba", 1023, "a"},
        {"typing stops at the maximum", "abcdef", 3, "abc"},
        {"room again after a backspace", "abcd\bxy", 3, "abx"},
        {"control characters are ignored", "\x01" "a\t\x1f" "b", 1023, "ab"},
        {"bytes above 127 are kept", "a\xe9\xff", 1023, "a\xe9\xff"},
    };
    ClosingDialog dialog;
    dialog.setPosition(100, 50);
    VGDialogItemButton button;
    VGDialogItemTextLine line;
    line.setEditable(true);
    dialog.addItem(&button);
    dialog.addItem(&line); // focused: it was added last
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        line.setMaxLength(c.maxLength);
        line.setText("");
        for (char k : c.keys)
            post(k == '\b' ? keyDown(KC_BACK, 8) : typed(k));
        // The line takes Enter itself, which activates it.
        post(enterKey());
        dialog.setDefaultItem(nullptr);
        EXPECT_EQ(runModal(dialog), &line);
        EXPECT_EQ(std::string(line.getText()), c.expected);
        EXPECT_EQ(line.getLength(), static_cast<int32_t>(c.expected.size()));
        drain();
    }
}

TEST_F(DialogTest, OnlyTheFocusedLineEditsAndAPressInsideALineFocusesIt)
{
    ClosingDialog dialog;
    dialog.setPosition(100, 50);
    VGDialogItemTextLine name, other, label;
    for (VGDialogItemTextLine *l : {&name, &other, &label})
        dialog.addItem(l);
    name.setEditable(true);
    other.setEditable(true);
    name.setRect(HRect(10, 10, 110, 30)); // on the screen (110, 60, 210, 80)
    label.setRect(HRect(10, 40, 110, 60));
    dialog.setFocus(&other);

    // A press inside the read-only label gives it nothing; a press inside
    // the name line focuses it (and, being a left press on its target,
    // activates it) and typing follows it.
    dialog.closeOnActivation = false;
    post({clickAt(150, 100), typed('o'), clickAt(110, 60), typed('n'), typed('m'), enterKey(), ofType(ET_QUIT)});
    EXPECT_EQ(runModal(dialog), kDialogQuit);
    EXPECT_EQ(dialog.activated, (std::vector<VGDialogItem *>{&name, &name}));
    EXPECT_STREQ(other.getText(), "o");
    EXPECT_STREQ(name.getText(), "nm");
    EXPECT_STREQ(label.getText(), "");
    EXPECT_EQ(dialog.getFocusedItem(), &name);
    // The press outside every rectangle is taken by nobody.
    EXPECT_FALSE(name.handleEvent(clickAt(109, 60)));
    // Paste: the platform has no clipboard, yet a focused line takes it.
    EXPECT_TRUE(name.handleEvent(ofType(ET_PASTE)));
    EXPECT_FALSE(other.handleEvent(ofType(ET_PASTE)));
    EXPECT_STREQ(name.getText(), "nm");
}

TEST_F(DialogTest, CaretInOddHalfSecondsAndBlinkingText)
{
    // Font cells of 4 x 4, every glyph a solid white block; '|' is 124.
    VGSprite *fontImage = image("font.tga", 64, 28, 0xFFFFFFFF);
    HBitmapFont font = {fontImage, 4, 4};

    VGDialog dialog;
    dialog.setPosition(100, 50);
    VGDialogItemTextLine line, other;
    line.setFont(&font);
    line.setPosition(10, 20); // text at (110, 70)
    line.setText("ab");
    dialog.addItem(&other);
    dialog.addItem(&line);

    struct Case
    {
        const char *what;
        bool editable, focused, blinks, enabled;
        uint64_t time;
        bool text, caret;
    };
    const Case cases[] = {
        {"focused editable, odd half-second", true, true, false, true, 1500, true, true},
        {"focused editable, even half-second", true, true, false, true, 1000, true, false},
        {"focused editable, end of an odd one", true, true, false, true, 1999, true, true},
        {"not focused", true, false, false, true, 1500, true, false},
        {"not editable", false, true, false, true, 1500, true, false},
        {"blinking, odd: nothing shows", false, true, true, true, 1500, false, false},
        {"blinking, even: the text shows", false, true, true, true, 2000, true, false},
        {"disabled", true, true, false, false, 1000, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        line.setEditable(c.editable);
        line.setFlags(c.blinks ? VGDialogItemTextLine::kFlagBlink : 0);
        line.setEnabled(c.enabled);
        dialog.setFocus(c.focused ? static_cast<VGDialogItem *>(&line) : &other);
        FakeClock::now = c.time;
        clearScreen();
        line.draw(display(), HRect(0, 0, 640, 480));
        EXPECT_EQ(screenAt(111, 71) != 0, c.text);
        EXPECT_EQ(screenAt(115, 71) != 0, c.text);
        EXPECT_EQ(screenAt(119, 71) != 0, c.caret);
    }
}

TEST_F(DialogTest, TextLineShowsItsLastVisibleCharacters)
{
    // Only 'z' (122) has a lit glyph cell, so the cells show which
    // characters were drawn.
    ASSERT_TRUE(tilmar_test::writeFile(dir / "zfont.tga", tilmar_test::tga32(64, 28, [](int x, int y) {
        return (x / 4 == 122 % 16 && y / 4 == 122 / 16 - 1) ? 0xFFFFFFFFu : 0x000000FFu;
    })));
    VGSprite *fontImage = new VGSprite;
    sprites.push_back(fontImage);
    ASSERT_TRUE(fontImage->load(display(), &files, "zfont.tga"));
    HBitmapFont font = {fontImage, 4, 4};

    VGDialogItemTextLine line;
    line.setFont(&font);
    line.setPosition(0, 0);
    struct Case
    {
        const char *text;
        int32_t visible;
        int zCell; // the cell the 'z' lands in; -1 for none shown
    };
    for (const Case c : {Case{"abz", 64, 2}, Case{"abcz", 2, 1}, Case{"zab", 2, -1}, Case{"az", -5, -1}}) {
        SCOPED_TRACE(c.text);
        line.setVisibleLength(c.visible);
        line.setText(c.text);
        clearScreen();
        line.draw(display(), HRect(0, 0, 640, 480));
        for (int cell = 0; cell < 4; ++cell)
            EXPECT_EQ(screenAt(cell * 4 + 1, 1) != 0, cell == c.zCell) << cell;
    }
}

TEST_F(DialogTest, CaretRedrawsArePacedByOneSharedTime)
{
    VGDialog dialog;
    dialog.setPosition(100, 50);
    dialog.setBackground(image("bg.tga", 200, 100));
    VGDialogItemTextLine line, partner;
    dialog.addItem(&line);
    dialog.addItem(&partner);
    partner.setEditable(true);

    struct Case
    {
        const char *what;
        bool editable, blinks;
        bool paced;
    };
    const Case cases[] = {
        {"editable", true, false, true},
        {"blinking", false, true, true},
        {"neither", false, false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        line.setEditable(c.editable);
        line.setFlags(c.blinks ? VGDialogItemTextLine::kFlagBlink : 0);
        VGDialogItemTextLine::setLastRedrawTime(0);

        struct Step
        {
            uint64_t time;
            bool redraw;
        };
        // The first timestamp only starts the pacing; 250 ms later is not
        // yet more than the interval, 251 ms is.
        const Step steps[] = {{1000, false}, {1250, false}, {1251, true}, {1400, false}, {1502, true}};
        for (const Step &s : steps) {
            SCOPED_TRACE(s.time);
            clearDialogDirtyList();
            EXPECT_FALSE(line.handleEvent(ofType(ET_TIMESTAMP, s.time)));
            EXPECT_EQ(dirtyCovers(HRect(100, 50, 300, 150)), c.paced && s.redraw);
        }
        EXPECT_EQ(VGDialogItemTextLine::getLastRedrawTime(), c.paced ? 1502u : 0u);
    }

    // The time is shared: another line goes on from where this one left it.
    VGDialogItemTextLine::setLastRedrawTime(1000);
    clearDialogDirtyList();
    partner.handleEvent(ofType(ET_TIMESTAMP, 1200));
    EXPECT_EQ(VGDialog::getDirtyRects().getCount(), 0);
    partner.handleEvent(ofType(ET_TIMESTAMP, 1300));
    EXPECT_EQ(VGDialogItemTextLine::getLastRedrawTime(), 1300u);
}

TEST_F(DialogTest, ProgressBarFillsFromTheLeftByItsValue)
{
    VGSprite *bar = image("bar.tga", 200, 10, 0xFFFF00FF);
    const uint16_t yellow = bar->getSurface()->getPixels()[0];
    struct Case
    {
        float value;
        float stored;
        int filled;
    };
    const Case cases[] = {
        {0.333f, 0.333f, 66}, {0.5f, 0.5f, 100}, {1.0f, 1.0f, 200}, {1.5f, 1.0f, 200},
        {0.0f, 0.0f, 0},      {-1.0f, 0.0f, 0},  {std::numeric_limits<float>::quiet_NaN(), 0.0f, 0},
    };
    VGDialogItemProgressBar progress;
    progress.setBarImage(bar);
    progress.setPosition(50, 60);
    EXPECT_TRUE(rectIs(progress.getRect(), 50, 60, 250, 70));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        progress.setValue(c.value);
        EXPECT_FLOAT_EQ(progress.getValue(), c.stored);
        clearScreen();
        progress.draw(display(), HRect(0, 0, 640, 480));
        if (c.filled > 0) {
            EXPECT_EQ(screenAt(50, 60), yellow);
            EXPECT_EQ(screenAt(50 + c.filled - 1, 69), yellow);
        }
        EXPECT_EQ(screenAt(50 + c.filled, 65), 0);
    }

    // Cut to the clip rectangle.
    progress.setValue(1.0f);
    clearScreen();
    progress.draw(display(), HRect(100, 0, 120, 65));
    EXPECT_EQ(screenAt(100, 64), yellow);
    EXPECT_EQ(screenAt(99, 64), 0);
    EXPECT_EQ(screenAt(120, 64), 0);
    EXPECT_EQ(screenAt(110, 65), 0);

    // Without a bar image it takes no room and draws nothing.
    VGDialogItemProgressBar empty;
    empty.setPosition(5, 6);
    empty.setBarImage(nullptr);
    EXPECT_TRUE(rectIs(empty.getRect(), 5, 6, 5, 6));
    empty.setValue(1.0f);
    clearScreen();
    empty.draw(display(), HRect(0, 0, 640, 480));
    EXPECT_EQ(screenAt(5, 6), 0);
}

TEST_F(DialogTest, SliderKnobSitsOffsetAlongTheTrack)
{
    VGSprite *knob = image("knob.tga", 16, 16);
    struct Case
    {
        const char *what;
        bool vertical;
        bool inDialog;
        float value;
        int32_t track;
        int x0, y0;
    };
    // Position (100, 50), dialog corner (20, 30): the knob's top-left at
    // (112, 72) for value 0.
    const Case cases[] = {
        {"horizontal, half way", false, true, 0.5f, 250, 237, 72},
        {"horizontal, start", false, true, 0.0f, 250, 112, 72},
        {"horizontal, end", false, true, 1.0f, 250, 362, 72},
        {"vertical, half way", true, true, 0.5f, 250, 112, 197},
        {"vertical, a third of 100", true, true, 0.337f, 100, 112, 105},
        {"outside a dialog", false, false, 0.5f, 250, 217, 42},
        {"a value beyond 1 is kept", false, true, 2.0f, 250, 612, 72},
        {"a negative value too", true, true, -0.1f, 250, 112, 47},
        {"not a number sits at the start", false, true, std::numeric_limits<float>::quiet_NaN(), 250, 112, 72},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        VGDialog dialog;
        dialog.setPosition(20, 30);
        VGDialogItemSlider slider;
        slider.setTrack(c.vertical, c.track);
        slider.setKnobImage(knob);
        slider.setPosition(100, 50);
        if (c.inDialog)
            dialog.addItem(&slider);
        slider.setValue(c.value);
        EXPECT_TRUE(rectIs(slider.getRect(), c.x0, c.y0, c.x0 + 16, c.y0 + 16));
    }

    // Huge values keep the arithmetic in range.
    VGDialogItemSlider far;
    far.setKnobImage(knob);
    far.setValue(1e30f);
    EXPECT_GT(far.getRect().x0, 1000000);
    EXPECT_GT(far.getRect().x1, far.getRect().x0);

    // Without a knob there is nothing to place.
    VGDialogItemSlider bare;
    bare.setPosition(100, 50);
    bare.setValue(0.5f);
    EXPECT_TRUE(rectIs(bare.getRect(), 0, 0, 0, 0));
}

TEST_F(DialogTest, SliderDragsFromAPressOnTheKnobToTheRelease)
{
    struct RecordingSlider : VGDialogItemSlider
    {
        std::vector<float> values;
        void setValue(float value) override
        {
            values.push_back(value);
            VGDialogItemSlider::setValue(value);
        }
    };
    VGSprite *knob = image("knob.tga", 16, 16);
    struct Case
    {
        const char *what;
        bool vertical;
        std::vector<HEvent> events;
        std::vector<float> values;
        int activations;
    };
    // Slider at (100, 50) in a dialog at (20, 30): the track starts on the
    // screen at (120, 80); the knob of value 0.5 covers (237, 72, 253, 88)
    // across, (112, 197, 128, 213) down.
    const Case cases[] = {
        {"across",
         false,
         {clickAt(245, 80), moveTo(370, 80), moveTo(100, 80), moveTo(245, 300), releaseAt(245, 300),
          moveTo(400, 80)},
         {1.0f, 0.0f, 0.5f},
         1},
        {"down",
         true,
         {clickAt(120, 205), moveTo(500, 230), moveTo(120, 130), moveTo(0, 500), releaseAt(0, 500),
          moveTo(120, 100)},
         {0.6f, 0.2f, 1.0f},
         1},
        {"a press beside the knob does not drag",
         false,
         {clickAt(236, 80), moveTo(370, 80), releaseAt(370, 80)},
         {},
         0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        ClosingDialog dialog;
        dialog.closeOnActivation = false;
        dialog.setPosition(20, 30);
        VGDialogItemButton first;
        RecordingSlider slider;
        slider.setTrack(c.vertical, 250);
        slider.setKnobImage(knob);
        slider.setPosition(100, 50);
        dialog.addItem(&first);
        dialog.addItem(&slider);
        dialog.setFocus(&first);
        slider.setValue(0.5f);
        slider.values.clear();

        post(c.events);
        post(ofType(ET_QUIT));
        EXPECT_EQ(runModal(dialog), kDialogQuit);
        // The press on the knob is a left press on a target: an activation,
        // which the dialog keeps open on.
        EXPECT_EQ(static_cast<int>(dialog.activated.size()), c.activations);
        ASSERT_EQ(slider.values.size(), c.values.size());
        for (size_t i = 0; i < c.values.size(); ++i)
            EXPECT_FLOAT_EQ(slider.values[i], c.values[i]) << i;
        EXPECT_FALSE(slider.isDragging());
        // The release hands the focus back to the first item.
        EXPECT_EQ(dialog.getFocusedItem(), &first);
        drain();
    }
}

TEST_F(DialogTest, SliderPressFocusesItAndMovesRedrawBothKnobPlaces)
{
    VGSprite *knob = image("knob.tga", 16, 16);
    VGDialog dialog;
    dialog.setPosition(20, 30);
    VGDialogItemButton first;
    VGDialogItemSlider slider;
    slider.setKnobImage(knob);
    slider.setPosition(100, 50);
    dialog.addItem(&first);
    dialog.addItem(&slider);
    slider.setValue(0.5f);
    dialog.setFocus(&first);

    EXPECT_FALSE(slider.handleEvent(moveTo(300, 80))) << "no drag yet";
    EXPECT_TRUE(slider.handleEvent(clickAt(237, 72)));
    EXPECT_TRUE(slider.isDragging());
    EXPECT_EQ(dialog.getFocusedItem(), &slider);
    clearDialogDirtyList();
    EXPECT_TRUE(slider.handleEvent(moveTo(145, 80))); // value 0.1
    EXPECT_FLOAT_EQ(slider.getValue(), 0.1f);
    EXPECT_TRUE(dirtyCovers(HRect(237, 72, 253, 88)));
    EXPECT_TRUE(dirtyCovers(HRect(137, 72, 153, 88)));
    EXPECT_FALSE(slider.handleEvent(keyDown(KC_RBUTTON, 0, 237, 72)));
    EXPECT_FALSE(slider.handleEvent(ofType(ET_TIMESTAMP, 5)));
    EXPECT_TRUE(slider.handleEvent(releaseAt(145, 80)));
    EXPECT_FALSE(slider.handleEvent(releaseAt(145, 80))) << "no second release";

    // A slider outside a dialog takes nothing.
    VGDialogItemSlider loose;
    loose.setKnobImage(knob);
    EXPECT_FALSE(loose.handleEvent(clickAt(0, 0)));
}
