// The game's on-screen controls: the left panel's command buttons, the
// title screen's start button and choice arrows, the continue button over
// the end pictures and the head-up display's labels. Each is drawn by a
// VGControlDelegate with the game's art and turns a press into one command
// of the game. Visibility and looks are worked out from the game every time
// the control manager asks. A control whose press may open a modal dialog
// (exit, options, rules, restart, continue) takes no pointer capture: the
// capture would be taken after the press returns, that is after the whole
// dialog, and would wait for a release that the dialog's loop has already
// consumed. Such a control also un-hovers itself first, so it is not lit
// behind the dialog.
#ifndef GAME_TMCONTROLS_H
#define GAME_TMCONTROLS_H

#include <cstdint>

#include "framework/UIControl.h"

class Tilmar;
class VGControlDelegate;

// Shown only in one game state, and (unless allowed) not while the player
// has paused.
class TMStateLimitedControl : public UIControl
{
public:
    explicit TMStateLimitedControl(UIControlDelegate *delegate);
    ~TMStateLimitedControl() override;
    bool isVisible() const override;

    void setRequiredState(int32_t state) { m_requiredState = state; }
    int32_t getRequiredState() const { return m_requiredState; }
    void setAllowedWhilePaused(bool allowed) { m_bAllowedWhilePaused = allowed; }

protected:
    int32_t m_requiredState;
    uint8_t m_bAllowedWhilePaused;
};

class TMHintControl : public TMStateLimitedControl
{
public:
    explicit TMHintControl(UIControlDelegate *delegate) : TMStateLimitedControl(delegate) {}
    ~TMHintControl() override;
    void draw(const HRect &clip) override;
    void onPress() override;
};

class TMRestartControl : public TMStateLimitedControl
{
public:
    explicit TMRestartControl(UIControlDelegate *delegate) : TMStateLimitedControl(delegate) {}
    ~TMRestartControl() override;
    void onPress() override;
    bool capturesMouse() const override;
};

class TMClickToStartControl : public TMStateLimitedControl
{
public:
    explicit TMClickToStartControl(UIControlDelegate *delegate) : TMStateLimitedControl(delegate) {}
    ~TMClickToStartControl() override;
    void onPress() override;
};

class TMClickToContinueControl : public TMStateLimitedControl
{
public:
    explicit TMClickToContinueControl(UIControlDelegate *delegate) : TMStateLimitedControl(delegate) {}
    ~TMClickToContinueControl() override;
    void onPress() override;
    bool capturesMouse() const override;
};

// The six arrows of the title screen.
#define TM_ARROW_CONTROL(Name)                                                                     \
    class Name : public TMStateLimitedControl                                                      \
    {                                                                                              \
    public:                                                                                        \
        explicit Name(UIControlDelegate *delegate) : TMStateLimitedControl(delegate) {}            \
        ~Name() override;                                                                          \
        void onPress() override;                                                                   \
    }
TM_ARROW_CONTROL(TMTableTopDecrementControl);
TM_ARROW_CONTROL(TMTableTopIncrementControl);
TM_ARROW_CONTROL(TMTileSetDecrementControl);
TM_ARROW_CONTROL(TMTileSetIncrementControl);
TM_ARROW_CONTROL(TMLayoutDecrementControl);
TM_ARROW_CONTROL(TMLayoutIncrementControl);
#undef TM_ARROW_CONTROL

class TMExitControl : public UIControl
{
public:
    explicit TMExitControl(UIControlDelegate *delegate) : UIControl(delegate) {}
    ~TMExitControl() override;
    void onPress() override;
    bool capturesMouse() const override;
};

class TMOptionsControl : public UIControl
{
public:
    explicit TMOptionsControl(UIControlDelegate *delegate) : UIControl(delegate) {}
    ~TMOptionsControl() override;
    void onPress() override;
    bool capturesMouse() const override;
};

class TMShowMovesControl : public UIControl
{
public:
    explicit TMShowMovesControl(UIControlDelegate *delegate) : UIControl(delegate) {}
    ~TMShowMovesControl() override;
    void onPress() override;
};

class TMPauseControl : public UIControl
{
public:
    explicit TMPauseControl(UIControlDelegate *delegate) : UIControl(delegate) {}
    ~TMPauseControl() override;
    void draw(const HRect &clip) override;
    void onPress() override;
    bool isVisible() const override;
};

class TMRulesControl : public UIControl
{
public:
    explicit TMRulesControl(UIControlDelegate *delegate) : UIControl(delegate) {}
    ~TMRulesControl() override;
    void onPress() override;
    bool capturesMouse() const override;
};

class TMShuffleControl : public UIControl
{
public:
    explicit TMShuffleControl(UIControlDelegate *delegate) : UIControl(delegate) {}
    ~TMShuffleControl() override;
    void onPress() override;
    bool isVisible() const override;
};

class TMUndoControl : public UIControl
{
public:
    explicit TMUndoControl(UIControlDelegate *delegate) : UIControl(delegate) {}
    ~TMUndoControl() override;
    void onPress() override;
    bool isVisible() const override;
};

class TMLabelControl : public UIControl
{
public:
    explicit TMLabelControl(UIControlDelegate *delegate) : UIControl(delegate) {}
    ~TMLabelControl() override;
    bool isVisible() const override;
};

#endif
