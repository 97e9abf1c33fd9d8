// The story map under test: every picture, animation and emitter it needs
// made in memory, a profile in the player manager, the log in a scratch
// folder, and a factory whose screens are stand-ins that record what they
// were made with.
#pragma once

#include "game_support.h"

#include "base/names.h"
#include "player/playermanager.h"
#include "player/qarnplayer.h"
#include "story/storymanager.h"
#include "story/storymodefactory.h"

#include "scratch_log.h"

#include "effects/particleemitter.h"
#include "tsl2/random.h"

// A screen the map opens; the test ends it as the player would.
class StandInMode : public GameMode {
public:
    explicit StandInMode(const std::string& sWhat) : GameMode(MF_ACTIVE | MF_VISIBLE), what(sWhat) {}
    std::string what;
};

class RecordingFactory : public StoryModeFactory {
public:
    Tsl::SmartPtr<GameMode> createPlay(const char* pszScene, int nPlayMode, int nDifficulty, QarnPlayer*, int nMinutes,
                                       StoryManagerMode* pStory) override {
        lastStory = pStory;
        return record("play " + std::string(pszScene) + " m" + std::to_string(nPlayMode) + " d" +
                      std::to_string(nDifficulty) + " t" + std::to_string(nMinutes));
    }
    Tsl::SmartPtr<GameMode> createStore(QarnPlayer*, int nPlayMode, const char* pszScene) override {
        return record("store " + std::string(pszScene) + " m" + std::to_string(nPlayMode));
    }
    Tsl::SmartPtr<GameMode> createSlideshow(const SlideList& lSlides, const char* pszMusic) override {
        std::string s = "pages";
        for (const Tsl::SmartPtr<SlideSpec>& pSlide : lSlides) s += " " + std::string(pSlide->m_sImage.c_str());
        return record(s + " " + pszMusic);
    }
    Tsl::SmartPtr<GameMode> createCongratulations(const Tsl::String& sText, const Tsl::String&) override {
        return record("congratulations " + std::string(sText.c_str()));
    }
    Tsl::SmartPtr<GameMode> createTransition() override { return nullptr; }
    bool submitScore(int nScore, const Tsl::String& sName, int nTable) override {
        made.push_back("score " + std::to_string(nScore) + " " + sName.c_str() + " t" + std::to_string(nTable));
        return bEnter;
    }

    Tsl::SmartPtr<GameMode> record(const std::string& s) {
        made.push_back(s);
        return new StandInMode(s);
    }
    std::string last() const { return made.empty() ? "" : made.back(); }

    std::vector<std::string> made;
    bool bEnter = true;
    StoryManagerMode* lastStory = nullptr;
};

struct StoryTest : GameTest {
    RecordingFactory factory;
    QarnPlayer* player = nullptr;
    ScratchLog log;

    void SetUp() override {
        GameTest::SetUp();
        ParticleEmitter::clearCache();
        addMapContent();
        player = getPlayerManager()->getProfile(getPlayerManager()->createProfile("Ann")->getName());
    }
    void TearDown() override {
        Tsl::setGameRandSource(nullptr, nullptr);
        destroyPlayerManager();
        ParticleEmitter::clearCache();
    }

    // Every picture the map is drawn with, the palms' and gulls' included.
    static std::vector<std::string> mapPictureNames() {
        std::vector<std::string> aNames = {"px",      "mapa",           "mapa_mar",      "mapa_nave_2",
                                           "mapa_mask_left", "mapa_mask_right", "mapa_titulo", "map_ico", "map_score_mask",
                                           "mapa_flor_T_L",  "mapa_flor_T_S"};
        for (int i = 1; i <= 5; ++i)
            for (const char* pszSize : {"L", "S"})
                aNames.push_back(Tsl::String::format("mapa_flor_%d_%s", i, pszSize).c_str());
        for (const StoryManagerMode::Site& site : StoryManagerMode::MAP_SITES)
            for (const char* pszLook : {"normal", "disabled", "highlight"})
                aNames.push_back(Tsl::String::format("mapa_sitio_%s_%s", site.pszName, pszLook).c_str());
        return aNames;
    }

    void addMapContent() {
        addPictures({"historieta_6b"});
        // The sites' pictures cover the map, as the game's do.
        for (const std::string& sName : mapPictureNames())
            app.addImage(sName.c_str(), sName.rfind("mapa_sitio_", 0) == 0 ? picture(800, 600) : picture(8, 8));
        addFile("palm_map.anim", "load px\nseq palm_a\nadd px\nseq palm_b\nadd px\nseq palm_c\nadd px\n");
        addFile("gav_chica.anim", "load px\nseq default\nadd px\n");
        addFile("gav_media.anim", "load px\nseq default\nadd px\n");
        for (const char* pszEmitter : {"clouds.emitter", "slowclouds.emitter", "nave_0.emitter", "nave_1.emitter",
                                       "shoal.emitter"})
            addFile(pszEmitter, "maxparticles 2\nlifetimerange 1 2\n");
        addFile("flowers.emitter", "maxparticles 4\nlifetimerange 0.5 0.5\nemissionrate 0\n");
    }

    Tsl::SmartPtr<StoryManagerMode> open(int nPlayMode, int nDifficulty = 1, int nMinutes = 3) {
        Tsl::SmartPtr<StoryManagerMode> pStory =
            new StoryManagerMode(nDifficulty, nMinutes, player, nPlayMode, &factory);
        app.pushMode(pStory.get());
        return pStory;
    }
    // The stand-in on top ends, as when the player leaves that screen.
    void endTop() {
        Tsl::SmartPtr<GameMode> pTop = app.getModeAt(0);
        ASSERT_TRUE(dynamic_cast<StandInMode*>(pTop.get())) << factory.last();
        pTop->endMode();
    }
    std::string logText() { return log.text(); }
};
