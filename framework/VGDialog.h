// VGDialog: the base of every modal dialog. A background sprite at a screen
// position with a chain of items on it, a focused and a default item, and a
// modal loop of its own that takes the events from the game's queue while
// the dialog is open. Open dialogs sit on a process-wide stack and are drawn
// bottom first over the game in every drawing pass.
#ifndef FRAMEWORK_VGDIALOG_H
#define FRAMEWORK_VGDIALOG_H

#include <cstdint>

#include "engine/core/HObject.h"
#include "engine/core/HRect.h"

class H2DDisplayDevice;
class HEventQueue;
class HFileSystem;
class HPuzzleGame;
class VGDialogItem;
class VGSprite;
struct HEvent;

// doModal's two answers that are no item: closed by the time-out, and ended
// by a quit request. Pointer-sized values no item can have.
inline VGDialogItem *const kDialogTimedOut = reinterpret_cast<VGDialogItem *>(static_cast<intptr_t>(-1));
inline VGDialogItem *const kDialogQuit = reinterpret_cast<VGDialogItem *>(static_cast<intptr_t>(-2));

class VGDialog : public HObject
{
    H_DECLARE_CLASSINFO();

    // Clears the dialogs' dirty list.
    VGDialog();
    // Releases nothing: items, images and background belong to the builder.
    ~VGDialog() override;

    VGDialog(const VGDialog &) = delete;
    VGDialog &operator=(const VGDialog &) = delete;

    // Virtual operations, in the order of the class's table.
    virtual void setBackground(VGSprite *background);
    // Runs the modal loop: answers the activated item, kDialogTimedOut or
    // kDialogQuit; null without a game or a queue.
    virtual VGDialogItem *doModal(HPuzzleGame *game, H2DDisplayDevice *display, HEventQueue *queue,
                                  int32_t timeout, void *userData);
    // True closes the dialog with the item; the base keeps it open.
    virtual bool onItemActivated(VGDialogItem *item);
    // Asked on every drawing pass once the time-out has run out; true closes
    // the dialog with kDialogTimedOut. The base answers false.
    virtual bool onTimer();
    virtual void addItem(VGDialogItem *item);
    // Forgets the chain and the background; the items stay linked.
    virtual void removeAllItems();
    virtual void setDefaultItem(VGDialogItem *item);
    virtual void invalidate(const HRect &rect);
    // False ends the modal loop with kDialogQuit (the base does so on a quit).
    virtual bool handleEvent(const HEvent &event);
    virtual void draw(H2DDisplayDevice *display);

    void setPosition(int32_t x, int32_t y);
    void updateBounds();
    // Null gives the focus to the first item.
    void setFocus(VGDialogItem *item);
    VGDialogItem *findEventTarget(const HEvent &event);

    // Every open dialog, the outermost first.
    static void drawOpenDialogs(H2DDisplayDevice *display);
    // Marks a screen rectangle for the dialogs and the game beneath them.
    static void invalidateScreenRect(const HRect &rect);

    static int32_t getOpenDialogCount();
    // depth 0 is the innermost open dialog; null outside the stack.
    static VGDialog *getOpenDialog(int32_t depth);
    static const HDirtyRectList &getDirtyRects();

    HPuzzleGame *getGame() const { return m_pGame; }
    void *getUserData() const { return m_pUserData; }
    int32_t getX() const { return m_x; }
    int32_t getY() const { return m_y; }
    const HRect &getBounds() const { return m_bounds; }
    int32_t getPointerX() const { return m_pointerX; }
    int32_t getPointerY() const { return m_pointerY; }
    VGDialogItem *getFirstItem() const { return m_pFirstItem; }
    VGDialogItem *getFocusedItem() const { return m_pFocusedItem; }
    VGDialogItem *getDefaultItem() const { return m_pDefaultItem; }
    VGSprite *getBackground() const { return m_pBackground; }

protected:
    // Loads an image of a ready-made dialog: true when loaded; false without
    // a path (nothing is loaded then) or when the load fails.
    static bool m_loadImage(VGSprite &sprite, H2DDisplayDevice *display, HFileSystem *fileSystem,
                            const char *path);
    // The picture a ready-made dialog measures a button by: its normal one,
    // or its highlighted one when the normal one did not load.
    static const VGSprite &m_measuredImage(const VGSprite &normal, const VGSprite &highlighted);
    // The item after this one in the chain, the first after the last.
    VGDialogItem *m_nextInChain(const VGDialogItem *item) const;
    // How many items the chain holds; bounds the walks around it.
    int32_t m_countItems() const;
    void m_drawInRect(H2DDisplayDevice *display, const HRect &clip);

    HPuzzleGame *m_pGame;
    void *m_pUserData;
    int32_t m_x;
    int32_t m_y;
    HRect m_bounds;
    int32_t m_pointerX;
    int32_t m_pointerY;
    VGDialogItem *m_pFirstItem;
    VGDialogItem *m_pFocusedItem;
    VGDialogItem *m_pDefaultItem;
    VGSprite *m_pBackground;  // not owned
};

#endif
