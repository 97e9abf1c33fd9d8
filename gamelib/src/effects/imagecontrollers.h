// Controllers that change the image a sprite shows: a swap, a bar growing up
// from the image's bottom edge, and a wipe that crops the image away.
#pragma once

#include "image/image.h"
#include "sprite/spritecontroller.h"

#include "tsl2/str.h"

class SCReplaceImage : public SpriteController {
public:
    // The image comes from the application's image cache when the step runs.
    explicit SCReplaceImage(const char* pszName) : m_sName(pszName) {}
    explicit SCReplaceImage(Tsl::SmartPtr<Image> pImage) : m_pImage(pImage) {}
    bool update(Tsl::SmartPtr<Sprite> pSprite) override;
    virtual Tsl::SmartPtr<Image> getImage() const { return m_pImage; }

private:
    Tsl::String m_sName;
    Tsl::SmartPtr<Image> m_pImage;
};

// Shows the bottom rows of the image, more each frame, in whole pixels; done
// when the target height is reached exactly.
class SCVerticalProgress : public SpriteController {
public:
    SCVerticalProgress(int nTarget, float fSpeed, const char* pszImageName);
    bool step(float fDt, Tsl::SmartPtr<Sprite> pSprite) override;
    void setTarget(int nTarget) { m_nTarget = nTarget; }

private:
    float m_fHeight;
    int m_nTarget;
    float m_fSpeed;
    Tsl::SmartPtr<Image> m_pImage;
};

// Crops the image a little more every frame: mode 0 the bottom edge rises,
// 1 the top edge sinks, 2 the right edge moves left, 3 the left edge moves
// right. Split, the image is cut into two halves (top and bottom for modes 0
// and 1, left and right for 2 and 3) that shrink apart towards the outer edges.
class SCWipe : public SpriteController {
public:
    SCWipe(int nMode, bool bSplit, float fDuration, bool bRemoveWhenDone);
    void start(Tsl::SmartPtr<Sprite> pSprite) override;
    bool step(float fDt, Tsl::SmartPtr<Sprite> pSprite) override;

private:
    void startSplit(Tsl::SmartPtr<Sprite> pSprite);
    void wipeWhole(Sprite* pSprite, float r);
    void wipeSplit(Sprite* pSprite, float r);
    Tsl::SmartPtr<Image> cut(int nLeft, int nTop, int nRight, int nBottom) const;

    int m_nMode;
    bool m_bSplit;
    Tsl::SmartPtr<Sprite> m_pSecond;
    int m_nHeight;
    int m_nWidth;
    int m_nX;
    int m_nY;
    Tsl::SmartPtr<Image> m_pStartImage;
    bool m_bRemoveWhenDone;
};
