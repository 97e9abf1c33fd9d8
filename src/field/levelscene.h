#pragma once

#include "field/scene.h"
#include "field/walkgrid.h"
#include "rules/upgrademanager.h"

#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

class ActionSpot;
class AnimSprite;
class ParticleEmitter;
class PlayMode;
class Seagull;
class Sprite;
struct PlayField;
struct SeatInfo;

// What a level's ".scene" file puts on the play field: the walk grid read
// with it, the scenery and what moves in it, the seats the upgrades
// furnish, and the targets the waitress serves, each with the pictures
// that show it. Scenery drawn over a target hides it from clicks.
class LevelScene {
public:
    // The sprites go onto the play screen, the seats into its record.
    LevelScene(PlayMode* pMode, PlayField& field, const UpgradeLevels& anLevels);
    ~LevelScene();

    // Reads the file and its walk grid; raises, naming the file and line, on
    // a fault of it.
    void read(const Tsl::String& sFile, const Tsl::String& sText);
    // Queues what the scene shows, to be made ready over frames
    // (GameApp::stepPreloads) before the build.
    void preload() const;
    // Puts the scene on the field; raises on a picture or animation that
    // cannot be made.
    void build();
    // The seats as the spawn manager places its guests.
    SeatInfo seatInfo() const;

    const SceneData& getData() const { return m_scene; }
    SceneData& editData() { return m_scene; }
    const WalkGrid& getGrid() const { return m_grid; }
    const Tsl::List<Tsl::SmartPtr<ActionSpot>>& getSpots() const { return m_lSpots; }
    // The highest hit (a z-order) of the scenery that hides targets at the
    // point; -1 for none.
    int coverHit(int nX, int nY) const;
    // A drink some tap of the field pours.
    int drawDrink() const;
    // The animations, gulls and emitters move on.
    void update(float fDt);

private:
    void buildSeats();
    void buildSpots();
    void addCoaster(const Tsl::SmartPtr<ActionSpot>& pSpot);
    void placeDrinkSign(ActionSpot& spot, int nDrink);
    void loadPlayArt();

    PlayMode* m_pMode;
    PlayField& m_field;
    const UpgradeLevels& m_anLevels;
    SceneData m_scene;
    WalkGrid m_grid;
    Tsl::List<Tsl::SmartPtr<ActionSpot>> m_lSpots;
    Tsl::List<Tsl::SmartPtr<Sprite>> m_lSceneSprites;
    Tsl::List<Tsl::SmartPtr<Sprite>> m_lCovers;  // the scenery and figures that show no target
    Tsl::List<Tsl::SmartPtr<AnimSprite>> m_lAmbience;
    Tsl::List<Tsl::SmartPtr<ParticleEmitter>> m_lEmitters;
    Tsl::List<Tsl::SmartPtr<Seagull>> m_lSeagulls;
    Tsl::List<int> m_lDrinks;
};
