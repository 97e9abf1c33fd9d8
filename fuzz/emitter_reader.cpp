// Reads a fuzzed ".emitter" file through the definition cache, then lets an
// emitter of it run a few frames, whatever counts the file asks for: the
// reader and the live-particle bound keep them finite. Only Tsl exceptions may
// come out; any stray read or write is for AddressSanitizer to find.
//
// Input: the file's text. It may name the images "spark" and "pal", and
// itself ("fx") or "other" as trails.
#include "fakes.h"
#include "effects/particleemitter.h"
#include "effects/particlerandom.h"

#include "tsl2/error.h"
#include "tsl2/resource.h"

#include <cstdint>
#include <string>

namespace {

struct World {
    TestApp app;
    Tsl::SmartPtr<Tsl::MemoryResourceProvider> pFiles = new Tsl::MemoryResourceProvider();
    Tsl::SmartPtr<GameMode> pMode = new GameMode();
    World() {
        app.init(800, 600, 0);
        app.addImage("spark", app.createImage(3, 2, true));
        Tsl::SmartPtr<Image> pPalette = app.createImage(4, 2, true);
        pPalette->fill(Color(10, 20, 30, 255));
        app.addImage("pal", pPalette);
        const char* pszOther = "image spark\nlifetimerange 0.1 0.2\n";
        pFiles->add("other", pszOther, static_cast<int>(std::string(pszOther).size()));
        app.addResourceProvider(pFiles.get());
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, size_t nSize) {
    static World* s_pWorld = new World();
    World& w = *s_pWorld;
    ParticleEmitter::clearCache();
    w.pFiles->add("fx", pData, static_cast<int>(nSize));
    getParticleRandom().setSeed(static_cast<std::uint32_t>(nSize));
    try {
        Tsl::SmartPtr<ParticleEmitter> pEmitter = new ParticleEmitter(w.pMode);
        pEmitter->load("fx");
        Tsl::SmartPtr<ParticleEmitter> pCopy = new ParticleEmitter(w.pMode);
        pCopy->load("fx");
        pEmitter->setPosition(400, 300);
        for (int i = 0; i < 8; ++i) pEmitter->update(0.125f);
        pEmitter->setVisible(false);
        pEmitter->emit(2);
        w.pMode->addParticles(pEmitter->detachParticles());
        pEmitter = nullptr;
        for (int i = 0; i < 4; ++i) w.pMode->onUpdate(0.25f);
    } catch (const Tsl::Exception&) {
    }
    w.pMode->getParticleSystem()->clear();
    w.pMode->removeAllSprites();
    return 0;
}
