#pragma once

#include "app/gamemode.h"

#include "tsl2/list.h"
#include "tsl2/str.h"

class VideoSprite;
class FlashSprite;

// The start-up screens: pictures, movies and Flash movies shown one after
// another, centred on black. A click or a key skips the current one. An item
// that cannot be shown is logged and skipped. When the last has gone the
// application's exit confirmation is switched on and the screen ends.
// The mode below is neither updated nor drawn while the splash runs.
class SplashScreen : public GameMode {
public:
    static const float IMAGE_SECONDS;

    SplashScreen();
    ~SplashScreen() override;

    // An image resource, shown for the time given.
    void addImage(const char* pszName, float fSeconds = IMAGE_SECONDS);
    // A movie file (".ogv", a plain file, not a resource).
    void addMovie(const char* pszPath);
    // A Flash movie resource; left out while no Flash control exists.
    void addFlash(const char* pszMovie);
    int getItemCount() const { return m_lItems.getCount(); }
    // The item shown now (its index), -1 before the first and after the last.
    int getCurrentItem() const { return m_nCurrent; }

    void init() override;
    void onUpdate(float fDt) override;
    bool onKeyDown(int nKey, int nModifiers) override;
    bool onMouseDown(int nButton, int nX, int nY) override;

private:
    enum ItemKind { IK_IMAGE, IK_MOVIE, IK_FLASH };
    struct Item {
        ItemKind eKind;
        Tsl::String sName;
        float fSeconds;
        bool operator==(const Item& other) const { return eKind == other.eKind && sName == other.sName; }
    };

    // Shows the next item that can be shown, or finishes.
    void next();
    void show(const Item& item);
    void hideCurrent();
    bool isCurrentDone(float fDt);
    void finish();
    void endIfOnTop();

    Tsl::List<Item> m_lItems;
    int m_nCurrent;
    float m_fShown;
    bool m_bStarting;
    bool m_bFinished;
    Tsl::SmartPtr<Sprite> m_pSprite;
    Tsl::SmartPtr<VideoSprite> m_pMovie;
    Tsl::SmartPtr<FlashSprite> m_pFlash;
};
