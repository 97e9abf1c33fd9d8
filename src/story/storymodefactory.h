#pragma once

// Whole types for the story pages' inline members.
#include "text/font.h"
#include "ui/button.h"

#include "story/slideshow.h"

#include "app/gamemode.h"
#include "tsl2/str.h"

class QarnPlayer;
class StoryManagerMode;

// The screens the story map opens. The map asks this object for each of
// them, so that tests can put stand-ins in their place.
class StoryModeFactory {
public:
    virtual ~StoryModeFactory();

    // A level's play screen, already told about the story map.
    virtual Tsl::SmartPtr<GameMode> createPlay(const char* pszScene, int nPlayMode, int nDifficulty,
                                               QarnPlayer* pPlayer, int nMinutes, StoryManagerMode* pStory);
    // The upgrade store; a factory that gives none leaves the map waiting.
    virtual Tsl::SmartPtr<GameMode> createStore(QarnPlayer* pPlayer, int nPlayMode, const char* pszScene);
    virtual Tsl::SmartPtr<GameMode> createSlideshow(const SlideList& lSlides, const char* pszMusic);
    virtual Tsl::SmartPtr<GameMode> createCongratulations(const Tsl::String& sText, const Tsl::String& sTitle);
    // The hand-over between the map and the screens it opens or returns to.
    virtual Tsl::SmartPtr<GameMode> createTransition();
    // Enters the score into a high-score table; true when it entered.
    virtual bool submitScore(int nScore, const Tsl::String& sName, int nTable);

    // The factory every map uses unless told otherwise.
    static StoryModeFactory* getDefault();
};
