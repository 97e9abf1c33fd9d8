// A headless application with an in-memory resource folder, small pictures
// by name and helpers to build animations for the tests of this room.
#pragma once

#include "fakes.h"
#include "anim/animation.h"
#include "anim/animationloader.h"

#include "tsl2/resource.h"

#include <gtest/gtest.h>

#include <string>

inline Tsl::List<Tsl::String> params(std::initializer_list<const char*> values) {
    Tsl::List<Tsl::String> l;
    for (const char* psz : values) l.append(psz);
    return l;
}

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

    // A picture in the application's image cache, told apart by its width.
    Tsl::SmartPtr<Image> addPicture(const char* pszName, int nWidth, const Color& c = Color(10, 20, 30, 200)) {
        Tsl::SmartPtr<Image> pImage = makeImage(nWidth);
        pImage->setColorAt(0, 0, c);
        app.addImage(pszName, pImage);
        return pImage;
    }

    // Reads the text as the resource "t.anim" in one go.
    Tsl::SmartPtr<Animation> loadText(const std::string& sText, const Tsl::List<Tsl::String>& lParams = {}) {
        addText("t.anim", sText);
        AnimationLoader loader;
        loader.setParams(lParams);
        return loader.load("t.anim");
    }

    // The type and message of what reading the text raises; empty when nothing.
    std::string errorOf(const std::string& sText, const Tsl::List<Tsl::String>& lParams = {}) {
        try {
            loadText(sText, lParams);
        } catch (const Tsl::Exception& e) {
            return std::string(e.getTypeName()) + ": " + e.getMessage();
        }
        return "";
    }

    // Widths of a sequence's frame images, in order.
    static std::string widthsOf(const Tsl::SmartPtr<Animation>& pAnimation, const char* pszSequence) {
        std::string s;
        for (int i = 0; i < pAnimation->getFrameCount(pszSequence); ++i)
            s += (s.empty() ? "" : " ") + std::to_string(pAnimation->getFrameImage(pszSequence, i)->getWidth());
        return s;
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
