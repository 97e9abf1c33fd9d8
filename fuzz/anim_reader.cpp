// Reads a fuzzed ".anim" file (with a fuzzed file it may include, and two
// parameters) over a few small pictures, then plays every sequence of the
// result on an animated sprite. Only Tsl exceptions may come out; a hang
// shows as a libFuzzer timeout, any stray access is for AddressSanitizer.
//
// Input: the main file's text, then optionally a byte 0x01 and the text of
// the resource "inc", which the main file may include.
#include "fakes.h"
#include "anim/animationloader.h"
#include "anim/animsprite.h"

#include "tsl2/error.h"
#include "tsl2/resource.h"

#include <algorithm>
#include <cstdint>

namespace {

void addPicture(TestApp* pApp, const char* pszName, int nWidth, int nHeight) {
    Tsl::SmartPtr<Image> pImage = new SDLImage(nWidth, nHeight, true, true);
    pImage->setColorAt(0, 0, Color(200, 100, 50, 128));
    pApp->addImage(pszName, pImage);
}

void play(Tsl::SmartPtr<Animation> pAnimation) {
    Tsl::SmartPtr<AnimSprite> pSprite = new AnimSprite(pAnimation, 0, 0);
    for (const Tsl::String& sSequence : pAnimation->getSequenceNames()) {
        pSprite->play(sSequence, 0.0f, -1);
        for (float fDt : {0.0f, 0.015625f, 0.25f, 3.0f, 1000.0f}) pSprite->update(fDt);
        pSprite->findFrameProp("doaction");
        pSprite->play(sSequence, -1.0f, 0);
        pSprite->update(0.5f);
    }
    pAnimation->getImages();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    if (nSize > 8192) return 0;
    const char* pText = reinterpret_cast<const char*>(pData);
    const char* pEnd = pText + nSize;
    const char* pSplit = std::find(pText, pEnd, '\x01');

    TestApp* pApp = new TestApp();
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> pProvider = new Tsl::MemoryResourceProvider();
    pApp->addResourceProvider(pProvider.get());
    pProvider->add("t.anim", pText, static_cast<int>(pSplit - pText));
    if (pSplit != pEnd) pProvider->add("inc", pSplit + 1, static_cast<int>(pEnd - pSplit - 1));
    addPicture(pApp, "a", 3, 2);
    addPicture(pApp, "b", 1, 4);
    addPicture(pApp, "f1", 2, 2);
    addPicture(pApp, "f2", 5, 1);
    addPicture(pApp, "f3", 1, 1);

    Tsl::List<Tsl::String> lParams;
    lParams.append("left");
    lParams.append("3");
    try {
        Tsl::SmartPtr<AnimationLoader> pLoader = new AnimationLoader();
        pLoader->setParams(lParams);
        play(pLoader->load("t.anim"));
    } catch (const Tsl::Exception&) {
    }
    pProvider = nullptr;
    delete pApp;
    return 0;
}
