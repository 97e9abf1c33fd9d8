// A running application over the fake platform with a mode that records the
// callbacks it receives, and helpers to click controls and press keys.
#pragma once

#include "fakes.h"

#include "app/gameapp.h"
#include "app/gamemode.h"
#include "text/font.h"
#include "ui/control.h"

#include <gtest/gtest.h>

#include <SDL/SDL_keysym.h>

#include <functional>
#include <utility>
#include <vector>

typedef std::vector<std::pair<int, int>> Calls;

class TargetMode : public GameMode {
public:
    TargetMode() : GameMode(MF_ACTIVE | MF_VISIBLE) {}
    void onCallback(int nId, int nData) override {
        m_aCalls.push_back(std::make_pair(nId, nData));
        if (m_fnOnCallback) m_fnOnCallback(nId);
    }
    Calls m_aCalls;
    std::function<void(int)> m_fnOnCallback;
};

struct ScreensTest : ::testing::Test {
    TestApp app;
    Tsl::SmartPtr<TargetMode> target;

    void SetUp() override {
        ASSERT_TRUE(app.init(800, 600, 0));
        target = new TargetMode();
        app.pushMode(target);
    }
    // A person's click, on what was drawn a moment before.
    void click(int nX, int nY) {
        app.m_pFakePlatform->m_nTicks += 1000;
        app.runFrame();
        app.onMouseMove(nX, nY, true);
        app.onMouseDown(MB_LEFT, nX, nY);
        app.onMouseUp(MB_LEFT, nX, nY);
    }
    void clickOn(const Tsl::SmartPtr<Sprite>& pSprite) { click(pSprite->getX() + 3, pSprite->getY() + 3); }
    void press(int nKey) {
        app.onKeyDown(nKey, 0);
        app.onKeyUp(nKey, 0);
    }
    // The mode's control with that callback id, or null.
    static Tsl::SmartPtr<Control> controlOf(GameMode* pMode, int nId) {
        for (const Tsl::SmartPtr<Sprite>& pSprite : pMode->getControls()) {
            Tsl::SmartPtr<Control> pControl = Tsl::SmartPtr<Control>::dynamicCast(pSprite);
            if (pControl && pControl->getId() == nId) return pControl;
        }
        return nullptr;
    }
};
