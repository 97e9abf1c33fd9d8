#include "story/storymodefactory.h"

#include "pages/highscoremode.h"
#include "story/longdialogmode.h"
#include "story/storymanager.h"
#include "field/playmode.h"
#include "store/storemode.h"

#include "app/modetransition.h"

StoryModeFactory::~StoryModeFactory() {}

Tsl::SmartPtr<GameMode> StoryModeFactory::createPlay(const char* pszScene, int nPlayMode, int nDifficulty,
                                                     QarnPlayer* pPlayer, int nMinutes, StoryManagerMode* pStory) {
    Tsl::SmartPtr<PlayMode> pPlay = new PlayMode(pszScene, nPlayMode, nDifficulty, pPlayer, nMinutes);
    pPlay->setLevelReport(pStory);
    return pPlay.get();
}

Tsl::SmartPtr<GameMode> StoryModeFactory::createStore(QarnPlayer* pPlayer, int nPlayMode, const char* pszScene) {
    return new StoreMode(pPlayer, nPlayMode, pszScene);
}

Tsl::SmartPtr<GameMode> StoryModeFactory::createSlideshow(const SlideList& lSlides, const char* pszMusic) {
    return new SlideshowMode(lSlides, false, pszMusic);
}

Tsl::SmartPtr<GameMode> StoryModeFactory::createCongratulations(const Tsl::String& sText, const Tsl::String& sTitle) {
    return new LongDialogMode(sText, sTitle, 0);
}

Tsl::SmartPtr<GameMode> StoryModeFactory::createTransition() { return new TrnFadeToBlack(); }

// Through a high-score screen that is never shown.
bool StoryModeFactory::submitScore(int nScore, const Tsl::String& sName, int nTable) {
    Tsl::SmartPtr<HighScoreMode> pScores = new HighScoreMode();
    return pScores->submitScore(nScore, sName, nTable);
}

StoryModeFactory* StoryModeFactory::getDefault() {
    static StoryModeFactory s_factory;
    return &s_factory;
}
