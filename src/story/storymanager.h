#pragma once

#include "base/qarnmode.h"
#include "rules/storyrules.h"
#include "field/levelreport.h"

#include "image/rect.h"
#include "text/font.h"
#include "ui/label.h"
#include "tsl2/list.h"
#include "tsl2/str.h"

class AnimSprite;
class ParticleEmitter;
class QarnPlayer;
class SlideSpec;
class StoryModeFactory;
class Tip;

// The story map and level picker. In the story (play mode 0) it owns the
// progression: fifty levels in five stages, the story pages of each stage,
// the store between levels and the final score; in play modes 1 and 2 it
// picks one of the five scenes. A step machine runs each time the map is
// back on top of the stack.
class StoryManagerMode : public QarnMode, public LevelReport {
public:
    enum { SITE_COUNT = 6, STORE_SITE = 5, ROUTE_POINTS = StoryRules::STORY_LEVELS, MAP_TIP_COUNT = 5 };
    enum Step {
        STEP_STAGE_PAGES = 0,
        STEP_START_LEVEL = 1,
        STEP_PLAYING = 2,
        STEP_WAITING = 3,
        STEP_STORE = 4,
        STEP_SUBMIT_SCORE = 5,
        STEP_ADVANCE = 6
    };
    enum { ACTION_NONE = 0, ACTION_LEAVE = 1, ACTION_LEVEL_FAILED = 2 };
    enum { ID_PLAY_NEXT = 0, ID_EXIT = 1, ID_STORE = 2 };
    // The store's resources are loaded, not a scene's.
    enum { LOADED_NONE = -1, LOADED_STORE = 6 };

    struct Site {
        const char* pszName;
        int nLeft, nTop, nRight, nBottom;
    };
    struct RoutePoint {
        int nX, nY;
    };
    static const Site MAP_SITES[SITE_COUNT];
    static const RoutePoint MAP_ROUTE[ROUTE_POINTS];
    static const int MAP_TIPS[MAP_TIP_COUNT];

    StoryManagerMode(int nDifficulty, int nMinutes, QarnPlayer* pPlayer, int nPlayMode);
    // The same with the screens it opens made by the given factory (not owned).
    StoryManagerMode(int nDifficulty, int nMinutes, QarnPlayer* pPlayer, int nPlayMode, StoryModeFactory* pFactory);
    // The progression without the map's screen, for screens that only
    // report to the story (their tests).
    enum NoMap { NO_MAP };
    StoryManagerMode(int nDifficulty, int nMinutes, QarnPlayer* pPlayer, int nPlayMode, NoMap);
    ~StoryManagerMode() override;

    int getLevelsWon() const override;
    int getScore() const override;
    int getMoney() const override;
    int getStage() const override;
    // True only while a story level is being played and it is the last of its stage.
    bool isLastLevelOfStage() const;
    void addScore(int nPoints) override;
    void addMoney(int nAmount) override;
    void setLevelResult(int nResult) override;

    int getStep() const { return m_nStep; }
    void setStep(int nStep) { m_nStep = nStep; }
    int getPendingAction() const { return m_nPendingAction; }

    void onCallback(int nId, int nData) override;
    void init() override;
    void onActivate() override;
    void onUpdate(float fDt) override;
    bool onKeyDown(int nKey, int nModifiers) override;
    void onMouseMove(int nX, int nY) override;
    bool onMouseUp(int nButton, int nX, int nY) override;

    // Queues every picture and animation the map's screen is built from, for
    // a map of that play mode at that story level, to be made ready over
    // frames (GameApp::stepPreloads) before the map is made.
    static void preloadMap(int nPlayMode, int nStoryLevel);

    // Current upgrade levels for a level of play mode 1 or 2.
    void prepareQuickPlay();
    static void buildStoryPages(int nStage, Tsl::List<Tsl::SmartPtr<SlideSpec>>& lPages);
    static void releaseAnimationsExcept(const Tsl::List<Tsl::String>& lKeep);
    void advanceOnMap();
    void bloomFlower();
    void startMarkerMove();
    void updateTips(float fDt);
    void showMapTip(int nTip, bool bCondition);

    int getPlayMode() const { return m_nPlayMode; }
    int getLoadedSite() const { return m_nLoadedSite; }
    float getMarkerX() const { return m_fMarkerX; }
    float getMarkerY() const { return m_fMarkerY; }
    bool isMarkerMoving() const { return m_fVelX != 0.0f || m_fVelY != 0.0f; }
    Tsl::SmartPtr<Sprite> getMarker() const { return m_pMarker; }
    Tsl::SmartPtr<Label> getScoreLabel() const { return m_pScoreLabel; }
    Tsl::SmartPtr<Label> getMoneyLabel() const { return m_pMoneyLabel; }
    const SpriteList& getFlowers() const { return m_lFlowers; }
    const SpriteList& getLocks() const { return m_lLocks; }
    const SpriteList& getHighlights() const { return m_lHighlights; }
    Tip* getTip() const { return m_pTip.get(); }
    int getEmitterCount() const { return m_lEmitters.getCount(); }
    int getAnimCount() const { return m_lAnims.getCount(); }

protected:
    int m_nStep;
    int m_nPendingAction;
    QarnPlayer* m_pPlayer;
    int m_nPlayMode;

private:
    // Progression (storymanager.cpp).
    void construct(int nDifficulty, int nMinutes, bool bMap);
    void applyNewStoryRule(int nDifficulty, int nMinutes);
    void showStagePages();
    void startStoryLevel();
    void countWonLevel();
    void waitOnMap();
    void openStore();
    void submitScore();
    void startQuickPlay(int nSite);
    void pushPlay(const char* pszScene, int nMinutes);
    void releaseLevelResources();
    void leave();
    void pushWithTransition(Tsl::SmartPtr<GameMode> pMode);
    static Tsl::String sceneName(int nStage);

    // The map (storymap.cpp).
    void buildMap();
    void addStaticPictures();
    void addFlowers();
    void addPalms();
    void addSites();
    void addButtons();
    void addMarkerAndLabels();
    void addSeagulls();
    void addEmitters();
    void warmEmitters();
    void refreshLabels();
    void updateAnims(float fDt);
    void updateMarker(float fDt);
    bool isSiteOpen(int nSite) const;
    Tsl::SmartPtr<Sprite> addPicture(const char* pszImage, int nX, int nY, int nZOrder);
    // The flower picture of a level on the route, the player at nStoryLevel.
    static Tsl::String flowerPicture(int nLevel, int nStoryLevel);
    static Tsl::String flowerImage(int nLevel, int nStageNumber);
    void setFlowerImage(const Tsl::SmartPtr<Sprite>& pFlower, const Tsl::String& sImage);
    void burstPetals(const Tsl::SmartPtr<Sprite>& pFlower, bool bLarge);

    Tsl::List<Tsl::String> m_lKeepImages;
    Tsl::List<Tsl::String> m_lKeepAnimations;
    int m_nLoadedSite;
    StoryModeFactory* m_pFactory;

    float m_fTargetX, m_fTargetY;
    float m_fVelX, m_fVelY;
    float m_fMarkerX, m_fMarkerY;
    Tsl::SmartPtr<Sprite> m_pMarker;
    Tsl::SmartPtr<Label> m_pScoreLabel;
    Tsl::SmartPtr<Label> m_pMoneyLabel;
    Tsl::List<Tsl::SmartPtr<AnimSprite>> m_lAnims;
    Tsl::List<Rect> m_lSiteRects;
    SpriteList m_lHighlights;
    SpriteList m_lFlowers;
    SpriteList m_lLocks;
    Tsl::SmartPtr<Tip> m_pTip;
    Tsl::List<Tsl::SmartPtr<ParticleEmitter>> m_lEmitters;
};
