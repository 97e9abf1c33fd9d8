// A headless application with in-memory content for the play field's tests:
// small pictures, a generated waitress template carrying every sequence the
// figure plays, customer templates, a sound driver that writes what it plays,
// and a scripted game rand().
#pragma once

#include "fakes.h"
#include "game_support.h"
#include "playfield_content.h"
#include "playfield_support.h"
#include "player/playermanager.h"
#include "field/playmode.h"

#include "tsl2/random.h"
#include "tsl2/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>
#include <vector>

struct PlayFieldFixture : ::testing::Test {
    TestQarnApp app;
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> m_pResources = new Tsl::MemoryResourceProvider();
    std::deque<int> m_aRand;

    static int scriptedRand(void* pData) {
        std::deque<int>& a = static_cast<PlayFieldFixture*>(pData)->m_aRand;
        if (a.empty()) return 0;
        int n = a.front();
        a.pop_front();
        return n;
    }

    void SetUp() override {
        ASSERT_TRUE(app.init(800, 600, 0));
        app.addResourceProvider(m_pResources.get());
        app.setFrameRate(0);
        app.setMaxFrameTime(1.0f, false);
        app.addImage("body", app.createImage(200, 180, true));
        app.addImage("px", app.createImage(8, 8, true));
        app.addImage("guest", opaque(60, 120));
        app.addImage("glass", opaque(20, 30));
        addText("mug.anim", fixture::mugAnimation());
        for (const char* psz : {"clock_base", "clock_markers", "empty", "clock_1", "clock_2", "clock_3", "bubble_separator",
                                "youwin", "youlose", "timesup"})
            app.addImage(psz, app.createImage(8, 8, true));  // the level dialogs' pictures
        app.addImage("olvy", app.createImage(8, 8, true));
        addText("olvywindow.anim", "load olvy\nseq happy\nadd olvy\nseq sad\nadd olvy\n");
        addText("waitress.template", fixture::waitressTemplate());
        for (const char* psz : {"hombre.template", "male_fat.template", "vip.template", "vip_strong.template",
                                "vip_fat.template", "vip_f.template", "ch_bob.anim", "ch_ann.anim"})
            addText(psz, fixture::customerTemplate());
        Tsl::setGameRandSource(&PlayFieldFixture::scriptedRand, this);
    }

    void TearDown() override {
        Tsl::setGameRandSource(nullptr, nullptr);
        // A story the level reported to may have loaded the profiles.
        destroyPlayerManager();
    }

    Tsl::SmartPtr<Image> opaque(int nWidth, int nHeight) {
        Tsl::SmartPtr<Image> pImage = app.createImage(nWidth, nHeight, true);
        pImage->fill(Color(200, 120, 60));
        return pImage;
    }

    void addText(const char* pszName, const std::string& sText) {
        m_pResources->add(pszName, sText.data(), static_cast<int>(sText.size()));
    }

    void script(std::initializer_list<int> values) { m_aRand.insert(m_aRand.end(), values); }

    // How often the sound was played; only sounds the content has are played.
    int plays(const char* pszSound) {
        int nPlays = 0;
        for (const std::string& sCall : app.platform->audio.calls)
            nPlays += sCall.compare(0, 6 + std::strlen(pszSound), std::string("play ") + pszSound + " ") == 0;
        return nPlays;
    }

    // A play screen with one walk area (depth 50) over the floor 300..560.
    Tsl::SmartPtr<PlayMode> makeField() {
        Tsl::SmartPtr<PlayMode> pMode = new PlayMode("scene0", 0, 0, nullptr, -1);
        SceneData& scene = pMode->editScene();
        scene.m_lWalkAreas.append(WalkArea{0, 300, 800, 560, 50});
        pMode->getField()->m_nTopY = 300;
        pMode->getField()->m_nBottomY = 560;
        return pMode;
    }

    // One frame of exactly dt seconds through the application's loop.
    void frame(float fDt = 0.125f) {
        app.platform->m_nTicks += static_cast<unsigned int>(fDt * 1000.0f + 0.5f);
        app.runFrame();
    }
};
