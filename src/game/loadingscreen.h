#pragma once

#include "app/gamemode.h"

#include "tsl2/list.h"
#include "tsl2/str.h"

class GameApp;

// One name of a preload list and where it was read, so that a name that does
// not load can be reported with its list and line.
struct PreloadItem {
    Tsl::String sName;
    Tsl::String sList;
    int nLine;
    bool operator==(const PreloadItem& other) const { return sName == other.sName && sList == other.sList; }
};

// Cuts a preload list into names: every carriage return and line feed ends a
// name, empty lines vanish, and nothing is trimmed (a blank belongs to the name).
Tsl::List<PreloadItem> parsePreloadList(const Tsl::String& sText, const Tsl::String& sList);
// The named list resource, cut as above; a missing list raises the resource error.
Tsl::List<PreloadItem> readPreloadList(GameApp* pApp, const char* pszList);

// The first screen: reads the preload lists and fills the caches with their
// animations, sounds, music and emitters a slice per frame behind a row of
// progress icons, then hands over to the main menu. A name that does not
// load raises a ContentFault (game/contentfault.h) naming its list and line,
// and the archive and entry when an entry is damaged.
class LoadingScreen : public GameMode {
public:
    enum { ICON_COUNT = 10, SLICE_MS = 25 };

    LoadingScreen();
    ~LoadingScreen() override;

    void onCallback(int nId, int nData) override;
    void init() override;
    void onUpdate(float fDt) override;
    bool onKeyDown(int nKey, int nModifiers) override;

    bool isFinished() const { return m_bFinished; }
    int getTotal() const { return m_nTotal; }
    int getDone() const { return m_nDone; }
    const SpriteList& getProgressIcons() const { return m_lProgressIcons; }

protected:
    // The screen that follows the loading; the main menu.
    virtual Tsl::SmartPtr<GameMode> createNextMode();

private:
    void build();
    void addBackground();
    void addProgressRow();
    void readLists();
    void step();
    void loadPass();
    void loadFirst(Tsl::List<PreloadItem>& lEntries, int nKind);
    void loadEntry(const PreloadItem& entry, int nKind);
    void showProgress();
    bool isTop() const;
    void handOver();

    Tsl::List<PreloadItem> m_lAnimations;
    Tsl::List<PreloadItem> m_lSounds;
    Tsl::List<PreloadItem> m_lMusic;
    Tsl::List<PreloadItem> m_lEmitters;
    bool m_bFinished;
    bool m_bBuildPending;
    bool m_bHandedOver;
    int m_nTotal;
    int m_nDone;
    SpriteList m_lProgressIcons;
};
