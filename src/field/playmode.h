#pragma once

#include "field/levelrules.h"
#include "field/playfield.h"
#include "base/qarnmode.h"
#include "field/levelscene.h"
#include "field/scene.h"
#include "rules/upgrademanager.h"
#include "image/rect.h"
#include "field/waitresserrands.h"
#include "field/walkgrid.h"

#include "tsl2/list.h"
#include "tsl2/str.h"

class ActionSpot;
class ActionBalloon;
class Character;
class IActionTarget;
class LevelReport;
class LoadingDialog;
class QarnPlayer;
class SpawnManager;
class RefusalNote;
class Tip;
class Waitress;
class Label;
class ParticleEmitter;
class Seagull;
class AnimSprite;

// One level of play. Its first update reads the scene under a loading
// dialog; what the scene shows is made ready over the next frames while the
// dialog's clock turns (at once when it is cached), and the level is built;
// then the week's goal is shown, then the bar opens: customers
// come, the clock runs, and when it runs out the bar closes; once the last
// customer has left the results are shown and the level reports to the story.
//
// Escape or the window's loss of the input focus pauses the open bar; an
// open tip holds the clock and the guests until it is read.
//
// Input rules: an open tip takes the click first, and what follows of it
// (a double-click's second click) with it; otherwise every target on the
// field is hit-tested, the highest z-order wins (the first on ties). An
// order balloon acts at once; any other target sends the waitress there
// (walk, face, use with hand 0 for the left button, 1 for the others). While
// she is busy up to six clicks wait their turn. The wheel does nothing.
class PlayMode : public QarnMode {
public:
    enum { CLICK_QUEUE_LIMIT = WaitressErrands::CLICK_QUEUE_LIMIT, STALL_FRAMES = WaitressErrands::STALL_FRAMES };
    // Milliseconds of each frame under the loading dialog spent making the
    // level's pictures and animations ready.
    enum { LOAD_SLICE_MS = 20 };
    enum Phase { PHASE_LOADING, PHASE_LOADED, PHASE_WEEK_GOAL, PHASE_PLAYING, PHASE_RESULTS, PHASE_DONE, PHASE_FAILED };
    enum Callback { CB_QUIT_LEVEL = 1, CB_OPTIONS_CLOSED = 2, CB_SCENE_ERROR = 3, CB_OPTIONS = 4, CB_RESUME = 5 };
    enum { KEY_ESCAPE = 27 };
    // Events that may bring up an in-play tip. An event's number is its
    // hint's: the text's key and the player's shown flag. The story map
    // shows the hints 0, 1, 2, 15 and 17 on its own, so the events raised
    // in play keep off those numbers (the ones there are never raised). The
    // map brings 3, 4, 5, 6, 7 and 18 back together until all were seen:
    // they are the steps of serving one guest, from its order to the empty
    // glass it leaves when it has paid, so one guest served shows them all.
    // The events past the hints' bring up none; they only put hints out of
    // date.
    enum TipEvent {
        TIP_FIRST_CUSTOMER,
        TIP_TRAY,
        TIP_PROPS,
        TIP_ORDER_TAKEN,
        TIP_FULL_GLASS,
        TIP_SERVED,
        TIP_PAID,
        TIP_GLASS_LEFT,
        TIP_IMPATIENT,
        TIP_CUSTOMER_LOST,
        TIP_UNORDERED_DRINK,
        TIP_QUEUE,
        TIP_REFUSED,
        TIP_CLOSING,
        TIP_LEVEL_START,
        TIP_VIP,
        TIP_GOAL_REACHED,
        TIP_HALF_TIME,
        TIP_ORDER,
        TIP_FULL_BAR,
        TIP_SECOND_HAND,
        TIP_LAST_CUSTOMER,
        TIP_EVENT_COUNT,
        // A used glass taken from its seat: the step of serving after the guest paid.
        EVENT_GLASS_TAKEN = TIP_EVENT_COUNT,
        // Glasses washed or poured away at the sink.
        EVENT_SINK_USED
    };

    // Minutes -1 in the story: the level table gives the length.
    PlayMode(const char* pszScene, int nPlayMode, int nDifficulty, QarnPlayer* pPlayer, int nMinutes);
    ~PlayMode() override;

    // The story the level reports to; none outside a story map.
    void setLevelReport(LevelReport* pReport);
    PlayField* getField() { return &m_field; }
    const SceneData& getScene() const { return m_scene.getData(); }
    // For set-ups without a scene file (the figure's own tests).
    SceneData& editScene() { return m_scene.editData(); }
    int getWalkAreaDepth(int nX, int nY) const { return m_scene.getData().getWalkAreaDepth(nX, nY); }
    const Tsl::String& getSceneName() const { return m_sScene; }
    int getPhase() const { return m_nPhase; }
    QarnPlayer* getPlayer() const { return m_pPlayer; }
    int getUpgradeLevel(int nKind) const;
    int getDifficulty() const { return m_rules.getDifficulty(); }
    float getLevelSeconds() const { return m_rules.getSeconds(); }
    bool isClosed() const { return m_rules.isClosed(); }

    // Walking: a route on the walk grid to the point; false when there is none.
    bool walkTo(int nX, int nY) { return m_errands.walkTo(nX, nY); }
    void stopWalking() { m_errands.stopWalking(); }
    bool isWalkPending() const { return m_errands.isWalkPending(); }

    Waitress* getWaitress() const { return m_pWaitress.get(); }
    SpawnManager* getSpawnManager() const { return m_pSpawnManager.get(); }
    Label* getMoneyLabel() const { return m_pMoneyLabel.get(); }
    // The clock and the money with the plate they stand on.
    Rect getHudRect() const;
    Tip* getTip() const { return m_pTip.get(); }
    // The hint (event number) whose bubble is open; -1 when none is.
    int getOpenTip() const;
    RefusalNote* getRefusalNote() const { return m_pRefusalNote.get(); }
    const Tsl::List<Tsl::SmartPtr<ActionSpot>>& getSpots() const { return m_scene.getSpots(); }
    // The target a click at the point reaches: the one whose picture is
    // drawn on top there (the first on ties), unless scenery covers it;
    // bBalloon tells an order balloon. Null when the click meets none.
    Tsl::SmartPtr<ActionSpot> hitTarget(int nX, int nY, bool& bBalloon) const;
    int getQueuedClickCount() const { return m_errands.getQueuedClickCount(); }
    int getCommandCount() const { return m_errands.getCommandCount(); }

    // The customer leaves the bar: its seat, claims and balloon are freed.
    void removeCharacter(Tsl::SmartPtr<Character> pCharacter);
    // A customer paid: money for the level, stars for how quickly it was
    // served; it stood where the box is and left its glass there.
    void onCustomerPaid(int nMoney, int nStars, const Rect& guest = Rect());
    void onCustomerLost(const Rect& guest = Rect());
    // A drink some tap of the field pours, for a customer's order.
    int drawOrder() const;
    void addBalloon(Tsl::SmartPtr<ActionBalloon> pBalloon);
    void removeBalloon(ActionBalloon* pBalloon);
    // A tip comes up once per player when its event first happens; one due
    // while another is open waits for it to close, unless the open one
    // explains a step of serving that this event shows the player has
    // passed. The guest's box, for a hint about a guest, is where that guest
    // is seen.
    void onTipEvent(int nEvent, const Rect& guest = Rect());
    // She cannot do what was clicked: the refusal sound, and what stands in
    // the way (ActionSpot::Refusal) said over her head; the hint about it.
    void refuse(int nRefusal, int nTipEvent = TIP_REFUSED);
    // Plays a sound by name when the sample exists.
    void playSound(const char* pszName);

    // The options dialog during a level.
    void openOptions();
    // While the bar is open and nothing else is on top of the field: the
    // pause dialog, which holds the whole field until the player goes on.
    // False when the field is not the one to pause.
    bool pause();
    // Reads (unless read already) and builds the level; false after a scene
    // error (logged, shown).
    bool buildLevel();
    void startLevel();

    void init() override;
    void onUpdate(float fDt) override;
    void onCallback(int nId, int nData) override;
    bool onMouseDown(int nButton, int nX, int nY) override;
    bool onKeyDown(int nKey, int nModifiers) override;
    // The window lost the input focus: the day must not run on unseen.
    void onAppDeactivate() override;
    void cleanup() override;

private:
    struct DueTip {
        int nEvent;
        Rect guest;
    };
    bool readScene();
    // Queues what the level shows, to be made ready over frames
    // (GameApp::stepPreloads) before the build.
    void preloadLevel();
    void updateLoading();
    void finishLoading();
    void failLevel(const Tsl::String& sFile, const Tsl::Exception& e);
    int trayCapacity() const;
    void updatePlaying(float fDt);
    void closeBar();
    void endLevel();
    bool isTop() const;
    void leave();
    void updateCustomers(float fDt);
    void updateLabels();
    bool& tipShownFlag(int nEvent);
    void markTipShown(int nEvent);
    bool dropPassedTips(int nEvent);
    void showDueTip();
    // The hints seen in this level go into the settings file: at the level's
    // end, the pause and leaving (the program's exit saves them too), never
    // in a frame of play.
    void saveSeenTips();
    void placeTip(const Rect& subject, const Rect& guest);
    Rect tipSubject(int nSubject, const Rect& guest) const;
    Rect figureBox() const;
    Rect waitressBox() const;

    Tsl::String m_sScene;
    int m_nPlayMode;
    QarnPlayer* m_pPlayer;
    PlayField m_field;
    LevelRules m_rules;
    int m_nPhase;
    bool m_bSceneRead;
    UpgradeLevels m_anLevels;

    Tsl::SmartPtr<Waitress> m_pWaitress;
    Tsl::SmartPtr<SpawnManager> m_pSpawnManager;
    Tsl::SmartPtr<Tip> m_pTip;
    Tsl::SmartPtr<RefusalNote> m_pRefusalNote;
    Tsl::SmartPtr<LoadingDialog> m_pLoading;
    Tsl::List<Tsl::SmartPtr<ActionBalloon>> m_lBalloons;
    Tsl::SmartPtr<Sprite> m_pClosingBanner;
    Tsl::SmartPtr<Label> m_pClockLabel;
    Tsl::SmartPtr<Label> m_pMoneyLabel;
    Tsl::SmartPtr<Sprite> m_pHudPlate;

    bool m_abTipShownHere[TIP_EVENT_COUNT];
    Tsl::List<DueTip> m_lDueTips;
    int m_nOpenTip;
    bool m_bTipsUnsaved;
    bool m_bLeaving;
    int m_nShownSeconds;
    int m_nShownMoney;
    LevelScene m_scene;
    WaitressErrands m_errands;
};
