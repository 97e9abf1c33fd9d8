// A headless application with in-memory content for the play field's tests:
// small pictures, a generated waitress template carrying every sequence the
// figure plays, customer templates, and a scripted game rand().
#pragma once

#include "fakes.h"
#include "playmode.h"

#include "tsl2/random.h"
#include "tsl2/resource.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <unistd.h>
#include <string>
#include <vector>

namespace fixture {

inline const char* const kHeadings[] = {"n", "e", "s", "w"};

// One sequence: a looping flag, its frames' hand places, and where (if
// anywhere) its action takes effect.
inline std::string sequence(const std::string& sName, int nFrames, bool bLoop, int nDoAction = -1, int nPlace = 0) {
    std::string s = "seq " + sName + " fps 8" + (bLoop ? " loop" : "") + "\n";
    for (int i = 0; i < nFrames; ++i) s += "add body\nframeprop " + std::to_string(i) + " position " +
                                           std::to_string(nPlace + i) + "\n";
    if (nDoAction >= 0) s += "frameprop " + std::to_string(nDoAction) + " doaction 1\n";
    return s;
}

// A small bar: one floor, two seats and a VIP place, a tap of drink 0, a
// sink and a coaster; the waitress starts in the middle.
inline std::string barScene() {
    return "topy 300\nbottomy 560\ncharposy 250\nchardepth 60\ncharvipposy 240\ncharvipdepth 55\n"
           "walkarea 0 300 800 560 200\n"
           "seat 200 200 330 n\nseat 320 320 330 n\nvipseat 500 500 330 n 1\n"
           "actionspot liquid 650 290 80 650 330 n 0\n"
           "actionspot trashbin 740 290 80 740 330 n\n"
           "actionspot glassspot 100 290 80 100 330 n\n"
           "start 400 450 s\n";
}

// Every sequence name the waitress plays, with 8 frames a second: walk
// steps of 2 frames, actions of 4 frames acting at frame 2.
inline std::string waitressTemplate(const std::vector<std::string>& lSkip = {}, bool bDoAction = true) {
    std::string s = "load body\ninspos 100 180 body\n";
    auto add = [&](const std::string& sName, int nFrames, bool bLoop, int nDoAction = -1) {
        for (const std::string& sSkip : lSkip)
            if (sSkip == sName) return;
        s += sequence(sName, nFrames, bLoop, nDoAction);
    };
    add("thumb_empty", 1, false);
    for (const char* h : kHeadings) {
        std::string H(h);
        add("stand_" + H + "_main", 1, false);
        add("walk_" + H + "_main_left", 2, false);
        add("walk_" + H + "_main_right", 2, false);
        for (const char* pszHand : {"left", "right"}) {
            std::string hand(pszHand);
            for (const char* c : {"empty", "full", "tray"}) add("stand_" + H + "_arm_" + c + "_" + hand, 1, false);
            add("stand_" + H + "_thumb_full_" + hand, 1, false);
            add("walk_" + H + "_arm_tray_" + hand, 2, false);
            for (const char* side : {"back", "front"}) {
                for (const char* c : {"empty", "full"}) add("walk_" + H + "_arm_" + c + "_" + hand + "_" + side, 2, false);
                add("walk_" + H + "_thumb_full_" + hand + "_" + side, 2, false);
            }
        }
        for (const char* k : {"serve", "fill", "take"})
            for (const char* hand : {"left", "right", "tray"})
                add(std::string(k) + "_" + H + "_" + hand, 4, false, bDoAction ? 2 : -1);
    }
    return s;
}

inline std::string customerTemplate() {
    std::string s = "load px\n";
    for (const char* seq : {"sit", "ask", "wait", "drink", "angry", "leave"}) s += "seq " + std::string(seq) + "\nadd px\n";
    return s;
}

}  // namespace fixture

struct PlayFieldFixture : ::testing::Test {
    TestApp app;
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
        app.addImage("body", app.createImage(200, 180, true));
        app.addImage("px", app.createImage(8, 8, true));
        addText("waitress.template", fixture::waitressTemplate());
        for (const char* psz : {"hombre.template", "male_fat.template", "vip.template", "vip_strong.template",
                                "vip_fat.template", "vip_f.template", "ch_bob.anim", "ch_ann.anim"})
            addText(psz, fixture::customerTemplate());
        Tsl::setGameRandSource(&PlayFieldFixture::scriptedRand, this);
    }

    void TearDown() override { Tsl::setGameRandSource(nullptr, nullptr); }

    void addText(const char* pszName, const std::string& sText) {
        m_pResources->add(pszName, sText.data(), static_cast<int>(sText.size()));
    }

    // An empty scratch folder of this test's own; the test removes it.
    static std::string tempFolder(const char* pszName) {
        std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("playfield_" + std::to_string(getpid()) + "_" + pszName);
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
        return path.string();
    }

    void script(std::initializer_list<int> values) { m_aRand.insert(m_aRand.end(), values); }

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
        app.m_pFakePlatform->m_nTicks += static_cast<unsigned int>(fDt * 1000.0f + 0.5f);
        app.runFrame();
    }
};
