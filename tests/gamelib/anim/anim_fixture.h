// A headless application with an in-memory resource folder, small pictures
// by name and helpers to build animations for the tests of this room.
#pragma once

#include "fakes.h"
#include "anim/animation.h"

#include "tsl2/resource.h"

#include <gtest/gtest.h>

#include <string>

struct AnimFixture : ::testing::Test {
    TestApp app;
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> m_pResources = new Tsl::MemoryResourceProvider();

    void SetUp() override {
        ASSERT_TRUE(app.init(800, 600, 0));
        app.addResourceProvider(m_pResources.get());
    }

    // A blank picture whose width tells it apart.
    Tsl::SmartPtr<Image> makeImage(int nWidth, int nHeight = 4) { return app.createImage(nWidth, nHeight, true); }

    void addText(const char* pszName, const std::string& sText) {
        m_pResources->add(pszName, sText.data(), static_cast<int>(sText.size()));
    }

    // One sequence of frames whose repeat counts are given; frame i's image is i + 1 pixels wide.
    Tsl::SmartPtr<Animation> makeAnimation(const char* pszSequence, std::initializer_list<int> repeats, float fFps,
                                           bool bLoop) {
        Tsl::SmartPtr<Animation> pAnimation = new Animation(fFps);
        pAnimation->createSequence(pszSequence, bLoop, fFps);
        int nWidth = 1;
        for (int nRepeat : repeats) pAnimation->addFrame(pszSequence, makeImage(nWidth++), nRepeat);
        return pAnimation;
    }
};
