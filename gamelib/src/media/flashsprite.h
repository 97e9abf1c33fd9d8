// A sprite showing a Flash movie: the control, hosted by CFlashWnd, plays on
// its own clock and the sprite takes its picture once per game frame. When
// the control cannot be made (no Flash control exists on this platform
// unless one is registered), the sprite shows nothing and every operation
// does nothing.
#pragma once

#include "image/geometry.h"
#include "sprite/sprite.h"

#include "tsl2/str.h"

#include <memory>

class CFlashWnd;

class FlashSprite : public Sprite {
public:
    // Whether a Flash control can be made at all.
    static bool isAvailable();

    // Raises "Resource %s not found" when the resources do not hold the movie.
    FlashSprite(const char* pszMovie, int nX, int nY, int nZOrder, bool bTransparent);
    ~FlashSprite() override;

    // The first picture exists once the sprite is attached.
    void onAttach() override;
    // Takes the control's picture; called by the owner every frame.
    virtual void update();

    bool hasControl() const { return m_pControl != nullptr; }
    bool isPlaying();
    void play();
    void stop();
    void rewind();
    void gotoFrame(int nFrame);
    using Sprite::setScale;
    // Applied at the next update.
    void setScale(float fScale);
    // The movie's frame size; (0, 0) without a control.
    Point getSize() const override;
    using Sprite::getSize;
    // How many times the frame number went backwards.
    int getLoopCount() const { return m_nLoopCount; }
    int getCurrentFrame();
    int getTotalFrames();
    bool gotoLabel(const char* pszLabel);
    Tsl::String getCurrentLabel();

private:
    // OLE stays initialised for as long as the sprite lives.
    struct OleSession {
        OleSession();
        ~OleSession();
    };

    OleSession m_oleSession;
    std::unique_ptr<CFlashWnd> m_pControl;
    bool m_bScalePending;
    float m_fScale;
    int m_nLastFrame;
    int m_nLoopCount;
};
