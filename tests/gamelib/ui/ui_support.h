// A running application over the fake platform, one mode on its stack and
// helpers to make pictures and deliver mouse input.
#pragma once

#include "fakes.h"

#include "app/gameapp.h"
#include "app/gamemode.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

// A mode that keeps the callbacks it receives.
class CallbackMode : public GameMode {
public:
    explicit CallbackMode(unsigned int nFlags = MF_ACTIVE | MF_VISIBLE) : GameMode(nFlags) {}
    void onCallback(int nId, int nData) override { m_aCalls.push_back(std::make_pair(nId, nData)); }
    bool onMouseDown(int, int, int) override {
        ++m_nModeDowns;
        return false;
    }
    bool onMouseUp(int, int, int) override {
        ++m_nModeUps;
        return false;
    }
    std::vector<std::pair<int, int>> m_aCalls;
    int m_nModeDowns = 0;
    int m_nModeUps = 0;
};

struct UiTest : ::testing::Test {
    TestApp app;
    Tsl::SmartPtr<CallbackMode> mode;

    void SetUp() override {
        ASSERT_TRUE(app.init(800, 600, 0));
        mode = new CallbackMode();
        app.pushMode(mode);
    }

    Tsl::SmartPtr<Image> picture(int nWidth, int nHeight, const Color& c = Color(200, 100, 50)) {
        Tsl::SmartPtr<Image> pImage = app.createImage(nWidth, nHeight, true);
        pImage->fill(c);
        return pImage;
    }
    Tsl::SmartPtr<Sprite> box(int nWidth, int nHeight, int nZOrder = 0) {
        return new Sprite(picture(nWidth, nHeight), 0, 0, nZOrder);
    }
    // A full click at a point: move there, press, release.
    void click(int nX, int nY) {
        app.onMouseMove(nX, nY, true);
        app.onMouseDown(MB_LEFT, nX, nY);
        app.onMouseUp(MB_LEFT, nX, nY);
    }
};
