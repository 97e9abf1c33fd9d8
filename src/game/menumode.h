#pragma once

#include "base/qarnmode.h"
#include "ui/label.h"

#include "tsl2/list.h"
#include "tsl2/str.h"

class QarnPlayer;

// The main menu: greets the current player (making sure one exists), starts
// the three play modes on the story map, opens options, how-to, high scores
// and the exit question, and each time it is back on top commits the last
// game into the player record and saves profiles and settings.
class MenuMode : public QarnMode {
public:
    enum Command {
        CMD_CANCEL = -1,
        CMD_QUIT = 1,
        CMD_OPTIONS = 3,
        CMD_HIGH_SCORES = 4,
        CMD_HOWTO = 6,
        CMD_SELECT_PROFILE = 7,
        CMD_STORY = 8,
        CMD_RELAX = 9,
        CMD_FREE_PLAY = 10,
        CMD_CONTINUE = 11,
        CMD_NEW_STORY = 15
    };
    enum { PLAY_NONE = -1, PLAY_STORY = 0, PLAY_RELAX = 1, PLAY_FREE = 2 };
    enum { KEY_ESCAPE = 27 };
    // Milliseconds of each frame spent making the map's pictures ready
    // before a game starts.
    enum { PREPARE_SLICE_MS = 20 };

    MenuMode();
    ~MenuMode() override;

    void onCallback(int nId, int nData) override;
    void init() override;
    void cleanup() override;
    void onActivate() override;
    void onUpdate(float fDt) override;
    bool onKeyDown(int nKey, int nModifiers) override;
    bool onMouseUp(int nButton, int nX, int nY) override;
    virtual void handleCommand(int nCommand);

    int getPlayMode() const { return m_nPlayMode; }
    // True from a click that starts a game until its map is made, while the
    // map's pictures are made ready; the menu takes no command meanwhile.
    bool isStartingGame() const { return m_nStartingCommand != CMD_CANCEL; }
    QarnPlayer* getPlayer() const { return m_pPlayer; }
    Tsl::SmartPtr<Label> getNameLabel() const { return m_pNameLabel; }
    Tsl::SmartPtr<Sprite> getNotMe() const { return m_pNotMe; }
    Tsl::SmartPtr<Sprite> getWelcome() const { return m_pWelcome; }
    Tsl::SmartPtr<Sprite> getShadowLogo() const { return m_pShadowLogo; }
    int getShadowState() const { return m_nShadowState; }
    const SpriteList& getBackdrop() const { return m_lBackdrop; }
    const SpriteList& getMenuItems() const { return m_lMenuItems; }
    const SpriteList& getLogo() const { return m_lLogo; }

protected:
    // The story map of a game; tests put stand-ins here.
    virtual Tsl::SmartPtr<GameMode> createStoryManager(int nDifficulty, int nMinutes, QarnPlayer* pPlayer,
                                                       int nPlayMode);

private:
    void addBackground();
    void createPlayButtons();
    void createSideButtons();
    void addBanners();
    bool ensurePlayer();
    void placeWelcome();
    int fitName(const Tsl::String& sName, int nRoom);
    void playMenuMusic();
    void updateHover();
    void updateShadowLogo(float fDt);
    void updateFadeIn(float fDt);
    void setPlayMode(int nPlayMode);
    void askAboutStory();
    void startGame(int nCommand);
    void launchGame(int nCommand);
    Tsl::SmartPtr<Sprite> addPicture(const char* pszImage, int nX, int nY, int nZOrder, SpriteList* pGroup);

    SpriteList m_lBackdrop;
    SpriteList m_lMenuItems;
    SpriteList m_lLogo;
    Tsl::SmartPtr<Sprite> m_pShadowLogo;
    Tsl::SmartPtr<Sprite> m_pWelcome;
    Tsl::SmartPtr<Label> m_pNameLabel;
    Tsl::SmartPtr<Sprite> m_pNotMe;
    Tsl::SmartPtr<Sprite> m_pHoverControl;
    Tsl::String m_sPlayerName;
    QarnPlayer* m_pPlayer;
    int m_nShadowState;
    int m_nPlayMode;
    int m_nStartingCommand;
};
