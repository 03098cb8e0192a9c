// The active parts of a modal dialog: image push buttons, single-line text
// fields, progress bars and sliders. A dialog links its items into a chain,
// offers them its events and asks each to draw itself per dirty rectangle;
// it never deletes them (they are members of the dialog classes).
#ifndef FRAMEWORK_VGDIALOGITEM_H
#define FRAMEWORK_VGDIALOGITEM_H

#include <cstdint>

#include "engine/core/HObject.h"
#include "engine/core/HRect.h"
#include "engine/core/VyTime.h"

class H2DDisplayDevice;
class VGDialog;
class VGSprite;
struct HBitmapFont;
struct HEvent;

class VGDialogItem : public HObject
{
    H_DECLARE_CLASSINFO();

    enum { kNameSize = 256 };

    // Enabled, at (0, 0), with an empty name, no user data, no dialog and
    // the rectangle (0, 0, 0, 0).
    VGDialogItem();
    ~VGDialogItem() override;

    VGDialogItem(const VGDialogItem &) = delete;
    VGDialogItem &operator=(const VGDialogItem &) = delete;

    // Virtual operations, in the order of the class's table.
    virtual bool isEnabled() const;
    // Stores the flag; asks for no redraw.
    virtual void setEnabled(bool enabled);
    virtual bool acceptsFocus() const;
    virtual HRect getRect() const;
    // Stores the position and recomputes the rectangle; asks for no redraw.
    virtual void setPosition(int32_t x, int32_t y);
    virtual void *getUserData() const;
    virtual void setUserData(void *userData);
    virtual void setName(const char *name);
    virtual const char *getName() const;
    virtual void draw(H2DDisplayDevice *display, const HRect &clip);
    // True when the item takes the event as its target.
    virtual bool handleEvent(const HEvent &event);
    virtual void updateRect();
    // Passed on to the dialog; nothing outside one.
    virtual void invalidate(const HRect &rect);
    // Joins the dialog: recomputes the rectangle and asks for its redraw.
    virtual void setDialog(VGDialog *dialog);
    virtual void setNext(VGDialogItem *next);
    virtual VGDialogItem *getNext() const;

    VGDialog *getDialog() const { return m_pDialog; }
    int32_t getX() const { return m_x; }
    int32_t getY() const { return m_y; }

protected:
    HRect m_rect;
    VGDialog *m_pDialog;  // not owned
    VGDialogItem *m_pNext;
    bool m_bEnabled;
    char m_name[kNameSize];
    void *m_pUserData;
    int32_t m_x;
    int32_t m_y;
};

// A push button drawn from images, in screen coordinates: the position plus
// the dialog's corner, sized by the last loaded image given of normal,
// highlighted, disabled (empty at the position without any). Hovered, it
// shows its highlighted image (nothing when that is null), or its normal one
// when the highlighted picture did not load.
class VGDialogItemButton : public VGDialogItem
{
    H_DECLARE_CLASSINFO();

    VGDialogItemButton();
    ~VGDialogItemButton() override;

    void draw(H2DDisplayDevice *display, const HRect &clip) override;
    // Follows the pointer for the hover image (never taking motion), takes a
    // left press inside and every Enter; a disabled button takes nothing.
    bool handleEvent(const HEvent &event) override;
    void updateRect() override;

    // Any may be null; the images are not owned.
    virtual void setImages(VGSprite *normal, VGSprite *highlighted, VGSprite *disabled);

    bool isHovered() const { return m_bHovered; }
    VGSprite *getNormalImage() const { return m_pNormalImage; }
    VGSprite *getHighlightedImage() const { return m_pHighlightedImage; }

protected:
    bool m_bHovered;
    VGSprite *m_pNormalImage;
    VGSprite *m_pHighlightedImage;
    VGSprite *m_pDisabledImage;
};

// A single line of text, editable or for display. Its rectangle, relative
// to the dialog, is assigned by its owner with setRect ((-1, -1, -1, -1)
// until then); a click inside it gives the line the focus.
class VGDialogItemTextLine : public VGDialogItem
{
    H_DECLARE_CLASSINFO();

    enum { kTextSize = 1024, kMaxTextLength = kTextSize - 1 };
    // flags bit: the text blinks with a period of one second.
    enum { kFlagBlink = 1 };
    // Caret and blink redraws come at most this often, shared by all lines.
    static constexpr int64_t kRedrawInterval = 250;

    VGDialogItemTextLine();
    ~VGDialogItemTextLine() override;

    bool acceptsFocus() const override;
    void draw(H2DDisplayDevice *display, const HRect &clip) override;
    bool handleEvent(const HEvent &event) override;

    virtual void setEditable(bool editable);
    virtual void setFont(const HBitmapFont *font);
    // Four floats: red, green, blue, alpha.
    virtual void setColor(const float *colour);
    // Passed to drawText as its alignment.
    virtual void setTextStyle(int32_t style);
    // Sets the maximum and the visible length, limited to 0..1023; the text
    // already held is not cut.
    virtual void setMaxLength(int32_t length);
    virtual void setVisibleLength(int32_t length);
    virtual void setFlags(int32_t flags);
    virtual int32_t getFlags() const;

    // Keeps at most the maximum length of the text and asks for a redraw.
    void setText(const char *text);
    // Stores the rectangle (relative to the dialog) without a redraw.
    void setRect(const HRect &rect) { m_rect = rect; }

    const char *getText() const { return m_text; }
    int32_t getLength() const { return m_length; }
    int32_t getMaxLength() const { return m_maxLength; }
    int32_t getVisibleLength() const { return m_visibleLength; }
    bool isEditable() const { return m_bEditable; }
    int32_t getTextStyle() const { return m_textStyle; }
    const HBitmapFont *getFont() const { return m_pFont; }

    // The one last-redraw time that paces every line's caret and blink; 0
    // until the first timestamp a line sees.
    static uint64_t getLastRedrawTime();
    static void setLastRedrawTime(uint64_t time);
    // The clock of the caret and the blink; getTicks unless replaced (null
    // restores it).
    typedef VyTime &(*ClockFunction)(VyTime &);
    static void setClockFunction(ClockFunction clock);

protected:
    // True in the odd half-seconds of the caret clock.
    static bool m_isOddHalfSecond();

    int32_t m_textStyle;
    float m_colour[4];
    bool m_bEditable;
    int32_t m_maxLength;
    int32_t m_visibleLength;
    char m_text[kTextSize];
    int32_t m_length;
    const HBitmapFont *m_pFont;  // not owned
    int32_t m_flags;
};

// A bar that fills from its left edge by its value (0..1). Its position and
// rectangle are screen coordinates.
class VGDialogItemProgressBar : public VGDialogItem
{
    H_DECLARE_CLASSINFO();

    VGDialogItemProgressBar();
    ~VGDialogItemProgressBar() override;

    void setPosition(int32_t x, int32_t y) override;
    // Draws nothing without a bar image.
    void draw(H2DDisplayDevice *display, const HRect &clip) override;

    virtual void setBarImage(VGSprite *image);
    // Limited to 0..1; a negative value or not a number becomes 0.
    virtual void setValue(float value);
    virtual float getValue() const;

protected:
    float m_value;
    VGSprite *m_pBarImage;  // not owned
};

// A knob dragged along a horizontal or vertical track; only the knob is
// drawn (the track is part of the dialog's background). Its rectangle is
// the knob's, in screen coordinates.
class VGDialogItemSlider : public VGDialogItem
{
    H_DECLARE_CLASSINFO();

    VGDialogItemSlider();
    ~VGDialogItemSlider() override;

    void draw(H2DDisplayDevice *display, const HRect &clip) override;
    // Drags from a left press on the knob to the next left release; the
    // slider must belong to a dialog.
    bool handleEvent(const HEvent &event) override;
    void updateRect() override;

    // Stores both; the knob is not moved until the next recomputation.
    virtual void setTrack(bool vertical, int32_t length);
    // Stored unchanged (not limited).
    virtual void setValue(float value);
    virtual float getValue() const;
    virtual void setKnobImage(VGSprite *image);

    bool isDragging() const { return m_bDragging; }
    int32_t getTrackLength() const { return m_trackLength; }
    bool isVertical() const { return m_bVertical; }

protected:
    bool m_bDragging;
    int32_t m_trackLength;
    bool m_bVertical;
    float m_value;
    VGSprite *m_pKnobImage;  // not owned
};

#endif
