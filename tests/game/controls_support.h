// What the control tests share: the game's controls in the order they were
// created, and presses delivered through the control manager as the main
// loop delivers them.
#ifndef TESTS_GAME_CONTROLS_SUPPORT_H
#define TESTS_GAME_CONTROLS_SUPPORT_H

#include <algorithm>
#include <vector>

#include "framework/UIControl.h"
#include "framework/VGControlDelegate.h"
#include "game/TMControls.h"
#include "game/TMScreenLayout.h"
#include "game/game_test_support.h"

// The manager's list holds the control added last at its head.
inline std::vector<UIControl *> controlsInCreationOrder(TestTilmar &game)
{
    std::vector<UIControl *> controls;
    HObjectList *list = game.m_uiManager.getControls();
    for (HObjectListNode *node = list ? list->getHead() : nullptr; node; node = list->getNext(node))
        controls.push_back(static_cast<UIControl *>(node->getObject()));
    std::reverse(controls.begin(), controls.end());
    return controls;
}

inline VGControlDelegate *delegateOf(UIControl *control)
{
    return static_cast<VGControlDelegate *>(control->getDelegate());
}

// A left-button press and release a few pixels inside the corner, at the
// given game time, offered to the control manager only. Answers whether a
// control took the press.
inline bool pressAt(TestTilmar &game, tmscreen::Point corner, uint64_t time)
{
    game.at(time);
    const int32_t x = corner.x + 3;
    const int32_t y = corner.y + 3;
    const bool taken = game.m_uiManager.handleEvent(gameEvent(ET_KEYDOWN, time, KC_LBUTTON, x, y));
    game.m_uiManager.handleEvent(gameEvent(ET_KEYUP, time, KC_LBUTTON, x, y));
    return taken;
}

// Controls take their sizes from the art; without it they have none.
inline bool controlArtLoaded(TestTilmar &game)
{
    return game.m_sprites[TM_ART_EXIT].isLoaded() && game.m_sprites[TM_ART_NO_MATCH].isLoaded();
}

#endif
