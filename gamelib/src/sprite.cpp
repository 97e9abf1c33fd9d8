#include "sprite.h"

#include "gamemode.h"
#include "image.h"
#include "videodriver.h"
#include "spritecontroller.h"

Sprite::Sprite() : Sprite(0, 0, 0) {}

Sprite::Sprite(int nX, int nY, int nZOrder)
    : m_pOwner(nullptr), m_nZOrder(nZOrder), m_bVisible(true), m_fX(static_cast<float>(nX)),
      m_fY(static_cast<float>(nY)), m_fAlpha(1.0f), m_fRotation(0.0f), m_color(255, 255, 255, 255), m_fScaleX(1.0f),
      m_fScaleY(1.0f), m_nRenderFlags(RF_DRAW_COLOR), m_nBlendMode(BM_NORMAL), m_bStencilTest(false),
      m_nPolygonStamp(-1), m_pClipRect(nullptr), m_nHitTestMode(HT_PIXELS), m_pDriverData(nullptr), m_nWalkDepth(0) {}

Sprite::~Sprite() {
    delete m_pDriverData;
    delete m_pClipRect;
    for (SpriteController* pController : m_lControllers) delete pController;
    for (SpriteController* pController : m_lDeferredDeletes) delete pController;
}

void Sprite::setZOrder(int nZOrder) {
    if (nZOrder == m_nZOrder) return;
    m_nZOrder = nZOrder;
    if (m_pOwner) m_pOwner->resortSprite(Tsl::SmartPtr<Sprite>(this));
}

void Sprite::setDriverData(DrvSpriteData* pData) {
    if (pData == m_pDriverData) return;
    delete m_pDriverData;
    m_pDriverData = pData;
}

void Sprite::setVisible(bool bVisible) { m_bVisible = bVisible; }

void Sprite::setPosition(float fX, float fY) {
    m_fX = fX;
    m_fY = fY;
}

bool Sprite::hitTest(int nX, int nY) { return false; }

void Sprite::setOwnerMode(GameMode* pMode) {
    m_pOwner = pMode;
    if (pMode) onAttach();
}

void Sprite::detach() { m_pOwner = nullptr; }

void Sprite::addController(SpriteController* pController) {
    TSL_TRACE();
    if (!pController) return;
    m_lControllers.append(pController);
    if (m_pOwner && !m_updateLink.isLinked()) m_pOwner->addToUpdateList(Tsl::SmartPtr<Sprite>(this));
    pController->start(Tsl::SmartPtr<Sprite>(this));
}

void Sprite::removeController(SpriteController* pController) {
    TSL_TRACE();
    int nIndex = pController ? m_lControllers.indexOf(pController) : -1;
    if (nIndex < 0) return;
    if (m_nWalkDepth > 0) {
        // The walk still holds this entry: blank it and delete after the walk.
        m_lControllers.getNode(nIndex)->data = nullptr;
        m_lDeferredDeletes.append(pController);
        return;
    }
    m_lControllers.removeAt(nIndex);
    delete pController;
}

void Sprite::clearControllers() {
    TSL_TRACE();
    if (m_nWalkDepth > 0) {
        for (auto* pNode = m_lControllers.getHead(); pNode; pNode = pNode->pNext) {
            if (pNode->data) m_lDeferredDeletes.append(pNode->data);
            pNode->data = nullptr;
        }
        return;
    }
    Tsl::List<SpriteController*> lOld(m_lControllers);
    m_lControllers.clear();
    for (SpriteController* pController : lOld) delete pController;
}

template <class Step>
void Sprite::walkControllers(Step step) {
    // A controller may remove this sprite from its mode: keep it alive.
    Tsl::SmartPtr<Sprite> pSelf(this);
    ++m_nWalkDepth;
    try {
        // The count is re-read every time: controllers appended during the
        // walk run in the same walk.
        for (int i = 0; i < m_lControllers.getCount(); ++i) {
            SpriteController* pController = m_lControllers.getAt(i);
            if (!pController) continue;
            if (step(pController, pSelf)) removeController(pController);
        }
    } catch (...) {
        --m_nWalkDepth;
        throw;
    }
    --m_nWalkDepth;
    if (m_nWalkDepth > 0) return;
    // Drop the blanked entries and delete what was removed during the walk.
    for (auto* pNode = m_lControllers.getHead(); pNode;) {
        auto* pNext = pNode->pNext;
        if (!pNode->data) m_lControllers.removeNode(pNode);
        pNode = pNext;
    }
    Tsl::List<SpriteController*> lDoomed(m_lDeferredDeletes);
    m_lDeferredDeletes.clear();
    for (SpriteController* pController : lDoomed) delete pController;
}

void Sprite::updateControllers(float fDt) {
    TSL_TRACE();
    walkControllers([fDt](SpriteController* pController, const Tsl::SmartPtr<Sprite>& pSprite) {
        return pController->step(fDt, pSprite);
    });
}

void Sprite::tickControllers() {
    TSL_TRACE();
    walkControllers([](SpriteController* pController, const Tsl::SmartPtr<Sprite>& pSprite) {
        return pController->tick(pSprite);
    });
}
