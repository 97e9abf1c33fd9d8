#include "field/ambience.h"

#include "app/gameapp.h"
#include "base/names.h"

#include "tsl2/random.h"

namespace {

enum { LEFT_EDGE = -30, RIGHT_EDGE = 830, WANDER = 5, SCREEN_WIDTH = 800 };

Tsl::SmartPtr<AnimSprite> addFigure(GameMode* pMode, const char* pszAnim, int nX, int nY, int nZOrder,
                                    const char* pszSequence) {
    GameApp* pApp = GameApp::getInstance();
    if (!pApp->hasAnimation(pszAnim) && !pApp->hasResource(pszAnim)) return nullptr;
    Tsl::SmartPtr<AnimSprite> pSprite = new AnimSprite(pApp->getAnimation(pszAnim), nX, nY, nZOrder);
    if (pszSequence) pSprite->play(pszSequence, 0.0f, -1);
    if (pMode) pMode->addSprite(pSprite.get());
    return pSprite;
}

}  // namespace

Seagull::Seagull(Tsl::SmartPtr<Animation> pAnimation, int nX, int nY, int nZOrder, bool bFast, bool bWander,
                 float fTimeOffset)
    : AnimSprite(pAnimation, nX, nY, nZOrder),
      m_fSpeed(bFast ? 20.0f : 26.0f),
      m_bWander(bWander),
      m_nBaseY(nY),
      m_nDirection(1) {
    if (bWander) {
        // Each wanderer starts somewhere of its own, so that gulls sharing a
        // line do not fly as one flock.
        float fX = float(Tsl::gameRand() % SCREEN_WIDTH);
        setPosition(fX, float(nY - WANDER + Tsl::gameRand() % (2 * WANDER + 1)));
        m_nDirection = Tsl::gameRand() % 2 ? 1 : -1;
    } else {
        setPosition(float(LEFT_EDGE), float(nY));
    }
    step(fTimeOffset);
}

void Seagull::step(float fDt) {
    update(fDt);
    float fX = getXf() + m_nDirection * m_fSpeed * fDt;
    if (!m_bWander && fX > RIGHT_EDGE) fX = float(LEFT_EDGE);
    if (m_bWander && (fX < LEFT_EDGE || fX > RIGHT_EDGE)) m_nDirection = -m_nDirection;
    setPosition(fX, getYf());
}

Barman::Barman(int nX, int nY, int nZOrder, int nVariant, GameMode* pMode) {
    Tsl::SmartPtr<AnimSprite> pBody =
        addFigure(pMode, Names::BARMAN_ANIM, nX, nY, nZOrder, Tsl::String::format(Names::SEQ_BARMAN, nVariant));
    if (pBody) m_lSprites.append(pBody);
}

MisterBongos::MisterBongos(GameMode* pMode, int nX, int nY, int nZOrder, const Tsl::String& sText) {
    Tsl::SmartPtr<AnimSprite> pBody = addFigure(pMode, Names::BONGOS_ANIM, nX, nY, nZOrder, sText);
    if (pBody) m_lSprites.append(pBody);
}

DancingGirl::DancingGirl(Tsl::SmartPtr<Animation> pAnimation, int nX, int nY, int nFlip, int nFrame, int nZOrder)
    : AnimSprite(pAnimation, nX, nY, nZOrder) {
    if (nFlip) setScale(-1.0f, 1.0f);
    setFrame(nFrame, -1.0f);
}

Parrot::Parrot(GameMode* pMode, int nX, int nY, int nZOrder) {
    Tsl::SmartPtr<AnimSprite> pStill = addFigure(pMode, Names::PARROT_ANIM, nX, nY, nZOrder, Names::SEQ_PARROT_STILL);
    Tsl::SmartPtr<AnimSprite> pMove = addFigure(pMode, Names::PARROT_ANIM, nX, nY, nZOrder + 1, Names::SEQ_PARROT_MOVE);
    if (pStill) m_lSprites.append(pStill);
    if (pMove) m_lSprites.append(pMove);
}
