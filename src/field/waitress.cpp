#include "field/waitress.h"

#include "field/targets/actiontarget.h"
#include "app/gameapp.h"
#include "field/mug.h"
#include "base/names.h"
#include "field/playmode.h"

namespace {

const char* const s_apszHeadings[] = {"n", "e", "s", "w"};
const char* const s_apszHands[] = {"left", "right", "tray"};
const char* const s_apszArmSides[] = {"back", "front", "front", "back"};
const char* const s_apszActionKinds[] = {"serve", "fill", "take", "fill"};
// Frame keys read while she moves, made once: a look-up by a text made on
// the spot would allocate every frame.
const Tsl::String s_sDoActionKey(Names::PROP_DOACTION);
const Tsl::String s_sPositionKey(Names::PROP_POSITION);

const float s_afSpeed[] = {220.0f, 298.0f, 200.0f, 298.0f};
const int s_anStepX[] = {0, 1, 0, -1};
const int s_anStepY[] = {-1, 0, 1, 0};
const int s_anReachX[] = {0, 45, 0, -45};
const int s_anReachY[] = {-100, -104, -100, -104};

// Z-order offsets from the body by heading: arm 0, arm 1, thumb 0, thumb 1.
const int s_aanLimbZ[4][4] = {{-1, -1, 0, 0}, {-7, 7, -1, 8}, {2, 2, 6, 6}, {7, -7, 8, -1}};
// Glasses in the hands, added to the holding arm's z-order: [slot][heading].
const int s_aanHandGlassZ[2][4] = {{-4, 4, 4, -2}, {-4, -2, 4, 4}};

// Where each hand place lies on the body's canvas.
const short s_anMugX[Waitress::HAND_PLACE_COUNT] = {
    59,  57,  162, 140, 64,  91,  134, 129, 123, 118, 124, 129, 134, 141, 148, 141, 135, 121, 132, 135, 139, 144,
    138, 129, 126, 121, 116, 120, 126, 129, 23,  23,  23,  23,  23,  23,  97,  97,  97,  97,  97,  97,  93,  93,
    93,  93,  93,  93,  23,  23,  23,  23,  23,  23,  93,  93,  93,  93,  93,  23,  23,  23,  23,  23,  95,  92,
    88,  83,  89,  98,  101, 106, 111, 107, 101, 98,  93,  98,  104, 109, 103, 98,  93,  86,  79,  86,  92,  106};
const short s_anMugY[Waitress::HAND_PLACE_COUNT] = {
    111, 145, 129, 130, 129, 130, 130, 127, 123, 119, 123, 127, 129, 131, 132, 131, 130, 130, 137, 135, 138, 139,
    138, 135, 134, 130, 126, 131, 134, 136, 127, 125, 122, 119, 116, 115, 127, 125, 122, 119, 116, 115, 154, 151,
    149, 146, 144, 144, 154, 156, 158, 161, 163, 166, 156, 158, 161, 163, 166, 151, 149, 146, 144, 144, 137, 135,
    138, 139, 138, 135, 134, 130, 126, 131, 134, 136, 130, 127, 123, 119, 123, 127, 129, 131, 132, 131, 130, 130};

// Tray places (dx, dy, dz) by heading and slot.
const int s_aanTray4[4][4][3] = {{{8, 0, -4}, {0, -8, -4}, {-8, 0, -4}, {0, 8, -4}},
                                 {{3, 5, 7}, {11, 0, 5}, {3, -5, 3}, {-5, 0, 5}},
                                 {{-13, 6, 4}, {0, 11, 6}, {13, 6, 4}, {0, 0, 2}},
                                 {{-3, -5, 3}, {-11, 0, 5}, {-3, 5, 7}, {5, 0, 5}}};
const int s_aanTray6[4][6][3] = {{{0, -18, -4}, {19, -10, -4}, {19, 4, -4}, {0, 8, -4}, {-19, 4, -4}, {-19, -10, -4}},
                                 {{20, 2, 6}, {8, 19, 8}, {-8, 19, 8}, {-20, 2, 6}, {-8, -8, 4}, {8, -8, 4}},
                                 {{0, 18, 8}, {-19, 10, 6}, {-19, -4, 4}, {0, -8, 4}, {19, -4, 4}, {19, 10, 6}},
                                 {{-20, 2, 6}, {-8, -8, 4}, {8, -8, 4}, {20, 2, 6}, {8, 19, 8}, {-8, 19, 8}}};

int normalCapacity(int nCapacity) { return (nCapacity == 4 || nCapacity == 6) ? nCapacity : 2; }

Tsl::String templateParam(int nCapacity) {
    return nCapacity == 6 ? Names::WAITRESS_PARAM_TRAY6 : Names::WAITRESS_PARAM_OTHER;
}

}  // namespace

Waitress::Waitress(PlayMode* pMode, const char* pszBaseName, int nX, int nY, int nCapacity)
    : m_pMode(pMode),
      m_nState(STATE_STAND),
      m_nPreviousState(STATE_STAND),
      m_fX(float(nX)),
      m_fY(float(nY)),
      m_nHeading(NORTH),
      m_nSecondDirection(-1),
      m_bRightFoot(false),
      m_nActingArm(0),
      m_nActingHand(0),
      m_nCapacity(normalCapacity(nCapacity)),
      m_bHasTray(m_nCapacity > 2),
      m_fScale(1.0f) {
    TSL_TRACE();
    buildFigure(Tsl::String::format(Names::TEMPLATE_FORMAT, pszBaseName));
    for (int i = 0; i < m_nCapacity; ++i) m_lMugs.append(nullptr);
    setHeading(SOUTH);
}

Waitress::~Waitress() {}

void Waitress::preloadFigure(const char* pszBaseName, int nCapacity) {
    GameApp* pApp = GameApp::getInstance();
    Tsl::String sFile = Tsl::String::format(Names::TEMPLATE_FORMAT, pszBaseName);
    if (!pApp->hasResource(sFile)) return;
    Tsl::List<Tsl::String> lParams;
    lParams.append(templateParam(normalCapacity(nCapacity)));
    pApp->preloadAnimation(sFile, nullptr, lParams);
}

void Waitress::buildFigure(const Tsl::String& sFile) {
    TSL_TRACE();
    Tsl::List<Tsl::String> lParams;
    lParams.append(templateParam(m_nCapacity));
    Tsl::SmartPtr<Animation> pAnimation = GameApp::getInstance()->getAnimation(sFile, nullptr, lParams);
    int nX = getX(), nY = getY();
    // On a floor she is drawn at its depth from the start, not only after her first step.
    int nDepth = m_pMode ? m_pMode->getWalkAreaDepth(nX, nY) : -1;
    m_pMainSprite = new AnimSprite(pAnimation, nX, nY, nDepth >= 0 ? nDepth : 100);
    for (int i = 0; i < ARM_COUNT; ++i) m_pArmSprites[i] = new AnimSprite(pAnimation, nX, nY, 101);
    for (int i = 0; i < ARM_COUNT; ++i) m_pThumbSprites[i] = new AnimSprite(pAnimation, nX, nY, 102);
    addSprites();
    for (int i = 0; i < ARM_COUNT; ++i) play(m_pThumbSprites[i], Names::SEQ_THUMB_EMPTY);
}

void Waitress::addSprites() {
    if (!m_pMode) return;
    for (int i = 0; i < 5; ++i) m_pMode->addSprite(getSprite(i).get());
}

void Waitress::removeSprites() {
    if (!m_pMode) return;
    for (int i = 0; i < 5; ++i)
        if (getSprite(i)) m_pMode->removeSprite(getSprite(i).get());
}

Tsl::SmartPtr<AnimSprite> Waitress::getSprite(int nIndex) const {
    switch (nIndex) {
        case 0: return m_pMainSprite;
        case 1: return m_pArmSprites[0];
        case 2: return m_pArmSprites[1];
        case 3: return m_pThumbSprites[0];
        case 4: return m_pThumbSprites[1];
    }
    return nullptr;
}

void Waitress::setCapacity(const Tsl::String& sTemplateFile, int nCapacity) {
    TSL_TRACE();
    m_nCapacity = normalCapacity(nCapacity);
    m_bHasTray = m_nCapacity > 2;
    Tsl::String sSequence = m_pMainSprite->getSequenceName();
    removeSprites();
    buildFigure(sTemplateFile);
    play(m_pMainSprite, sSequence);
    while (m_lMugs.getCount() < m_nCapacity) m_lMugs.append(nullptr);
    showStandingArms();
    updateZOrders();
    placeMugs();
}

void Waitress::play(const Tsl::SmartPtr<AnimSprite>& pSprite, const Tsl::String& sSequence, int nLoop) {
    Tsl::SmartPtr<Animation> pAnimation = pSprite->getAnimation();
    if (pAnimation && !pAnimation->hasSequence(sSequence) && !m_hMissing.hasKey(sSequence)) {
        m_hMissing.set(sSequence, 1);
        GameApp::log("Waitress: the template has no sequence %s\n", sSequence.c_str());
    }
    // A missing name stops the sprite and hides it.
    pSprite->play(sSequence, 0.0f, nLoop);
}

// ---- queries -----------------------------------------------------------------------------------

void Waitress::getPosition(int& nX, int& nY) const {
    nX = getX();
    nY = getY();
}

void Waitress::getPosition(float& fX, float& fY) const {
    fX = m_fX;
    fY = m_fY;
}

void Waitress::getHandPosition(int& nX, int& nY, int nHand) const {
    int nDx, nDy;
    getReachOffset(m_nHeading, nHand, nDx, nDy);
    nX = getX() + nDx;
    nY = getY() + nDy;
}

void Waitress::getReachOffset(int nHeading, int nHand, int& nDx, int& nDy) {
    bool bHand = nHand == 0 || nHand == 1;
    nDx = bHand ? s_anReachX[nHeading & 3] : 0;
    nDy = bHand ? s_anReachY[nHeading & 3] : 0;
}

void Waitress::getVelocity(float fDt, float& fVx, float& fVy) const {
    float fSpeed = s_afSpeed[m_nHeading];
    fVx = s_anStepX[m_nHeading] * fSpeed * fDt;
    fVy = s_anStepY[m_nHeading] * fSpeed * fDt;
    if (m_nSecondDirection >= 0 && m_nSecondDirection < 4) {
        fVx += s_anStepX[m_nSecondDirection] * fSpeed * fDt * 0.75f;
        fVy += s_anStepY[m_nSecondDirection] * fSpeed * fDt * 0.75f;
    }
}

// ---- movement ----------------------------------------------------------------------------------

float Waitress::depthScale(float fY) const {
    const PlayField* pField = m_pMode ? m_pMode->getField() : nullptr;
    // A floor without height has no depth; the scene reader refuses one.
    if (!pField || pField->m_nBottomY <= pField->m_nTopY) return 1.0f;
    float fSpan = float(pField->m_nBottomY - pField->m_nTopY);
    return 1.0f - 0.208f * (float(pField->m_nBottomY) - fY) / fSpan;
}

void Waitress::applyScale(float fScale) {
    for (int i = 0; i < 5; ++i) getSprite(i)->setScale(fScale);
}

void Waitress::updateScale() { applyScale(depthScale(m_fY)); }

void Waitress::setPosition(float fX, float fY) {
    TSL_TRACE();
    int nX = static_cast<int>(fX), nY = static_cast<int>(fY);
    if (nX == getX() && nY == getY()) {
        m_fX = fX;
        m_fY = fY;
        return;
    }
    int nDepth = m_pMode ? m_pMode->getWalkAreaDepth(nX, nY) : -1;
    if (nDepth == -1) return;
    m_pMainSprite->setPosition(fX, fY);
    for (int i = 0; i < ARM_COUNT; ++i) m_pArmSprites[i]->setPosition(fX, fY);
    for (int i = 0; i < ARM_COUNT; ++i) m_pThumbSprites[i]->setPosition(fX, fY);
    m_pMainSprite->setPosition(fX, fY);
    m_pMainSprite->setZOrder(nDepth);
    // The scale of the y she leaves, as the figure has always been drawn.
    m_fScale = depthScale(m_fY);
    applyScale(m_fScale);
    updateZOrders();
    m_fX = fX;
    m_fY = fY;
    placeMugs();
}

void Waitress::setHeading(int nHeading) {
    m_nHeading = nHeading & 3;
    setState(STATE_STAND);
    play(m_pMainSprite, Tsl::String::format(Names::SEQ_STAND_MAIN, s_apszHeadings[m_nHeading]));
    showStandingArms();
    updateZOrders();
    placeMugs();
}

void Waitress::startWalking(int nHeading, int nSecondDirection) {
    TSL_TRACE();
    m_nSecondDirection = nSecondDirection;
    if ((nHeading & 3) != m_nHeading) setHeading(nHeading);
    if (m_nState == STATE_WALK) return;
    int nAheadX = static_cast<int>(m_fX + 5 * s_anStepX[m_nHeading]);
    int nAheadY = static_cast<int>(m_fY + 5 * s_anStepY[m_nHeading]);
    if (!m_pMode || m_pMode->getWalkAreaDepth(nAheadX, nAheadY) == -1) return;
    setState(STATE_WALK);
    m_bRightFoot = !m_bRightFoot;
    const char* pszHeading = s_apszHeadings[m_nHeading];
    play(m_pMainSprite, Tsl::String::format(Names::SEQ_WALK_MAIN, pszHeading, m_bRightFoot ? "right" : "left"));
    for (int i = 0; i < ARM_COUNT; ++i) {
        if (m_bHasTray) {
            play(m_pArmSprites[i], Tsl::String::format(Names::SEQ_WALK_TRAY_ARM, pszHeading, s_apszHands[i]));
            continue;
        }
        bool bFull = contentsFull(i);
        const char* pszSide = s_apszArmSides[i + 2 * (m_bRightFoot ? 1 : 0)];
        play(m_pArmSprites[i],
             Tsl::String::format(Names::SEQ_WALK_ARM, pszHeading, bFull ? "full" : "empty", s_apszHands[i], pszSide));
        play(m_pThumbSprites[i], bFull ? Tsl::String::format(Names::SEQ_WALK_THUMB, pszHeading, s_apszHands[i], pszSide)
                                       : Tsl::String(Names::SEQ_THUMB_EMPTY));
    }
}

void Waitress::stop() {
    setState(STATE_STAND);
    setHeading(m_nHeading);
}

// ---- actions -----------------------------------------------------------------------------------

void Waitress::setState(int nNewState) {
    if (nNewState == m_nState) return;
    completeAction();
    m_nPreviousState = m_nState;
    m_nState = nNewState;
    if (nNewState == STATE_STAND) {
        showStandingArms();
        placeMugs();
    }
}

void Waitress::releaseTarget() {
    // Nothing else ever clears the flag the start of the action set.
    if (m_pTarget) m_pTarget->setBusy(false);
    m_pTarget = nullptr;
}

void Waitress::completeAction() {
    TSL_TRACE();
    if (m_nState != STATE_ACT || !m_pTarget) return;
    Tsl::SmartPtr<AnimSprite> pArm = m_pArmSprites[m_nActingArm];
    Tsl::SmartPtr<Animation> pAnimation = pArm->getAnimation();
    const Tsl::String& sSequence = pArm->getSequenceName();
    int nCount = pArm->getFrameCount();
    for (int nFrame = pArm->getFrame(); pAnimation && nFrame < nCount; ++nFrame)
        if (pAnimation->hasFrameProp(sSequence, nFrame, Names::PROP_DOACTION)) {
            pArm->setFrame(nFrame, -1.0f);
            break;
        }
    Tsl::SmartPtr<IActionTarget> pTarget = m_pTarget;
    if (pTarget->canDoAction(m_nActingHand)) pTarget->doAction(m_nActingHand);
    releaseTarget();
    m_nState = STATE_STAND;
}

int Waitress::startAction(Tsl::SmartPtr<IActionTarget> pTarget, int nHand) {
    TSL_TRACE();
    int nHandName = (!m_bHasTray && (nHand == 0 || nHand == 1)) ? nHand : 2;
    int nArm = nHandName == 2 ? 0 : nHandName;
    if (m_pArmSprites[nArm]->isPlaying()) return -1;
    const char* pszHeading = s_apszHeadings[m_nHeading];
    if (!pTarget) {
        if (m_bHasTray) {
            playArmSequence(2, Tsl::String::format(Names::SEQ_WALK_TRAY_ARM, pszHeading, s_apszHands[0]),
                            Names::SEQ_THUMB_EMPTY);
        } else {
            bool bFull = contentsFull(nHandName);
            playArmSequence(nHandName,
                            Tsl::String::format(Names::SEQ_HELD_OUT_ARM, pszHeading, bFull ? "full" : "empty",
                                                s_apszHands[nHandName]),
                            bFull ? Tsl::String::format(Names::SEQ_HELD_OUT_THUMB, pszHeading, s_apszHands[nHandName])
                                  : Tsl::String(Names::SEQ_THUMB_EMPTY));
        }
        return -1;
    }
    completeAction();
    if (!pTarget->canDoAction(nHand)) return -1;
    m_pTarget = pTarget;
    m_nActingHand = nHand;
    m_nActingArm = nArm;
    int nKind = pTarget->getActionKind(nHand);
    pTarget->setBusy(true);
    setState(STATE_ACT);
    // Once: a looping arm would keep her acting for ever.
    Tsl::String sArm =
        Tsl::String::format(Names::SEQ_ACTION, s_apszActionKinds[nKind & 3], pszHeading, s_apszHands[nHandName]);
    if (m_bHasTray) {
        play(m_pArmSprites[0], sArm, 0);
    } else {
        play(m_pThumbSprites[nHandName], Names::SEQ_THUMB_EMPTY);
        play(m_pArmSprites[nHandName], sArm, 0);
    }
    placeMugs();
    return nKind;
}

void Waitress::update(float fDt) {
    bool bArmChanged = false;
    m_pMainSprite->update(fDt);
    bArmChanged |= m_pArmSprites[1]->update(fDt);
    bArmChanged |= m_pArmSprites[0]->update(fDt);
    m_pThumbSprites[0]->update(fDt);
    m_pThumbSprites[1]->update(fDt);
    if (m_nState == STATE_WALK) {
        if (!m_pMainSprite->isPlaying()) setHeading(m_nHeading);
    } else if (m_nState == STATE_ACT) {
        Tsl::SmartPtr<AnimSprite> pArm = m_pArmSprites[m_nActingArm];
        int nFrom = pArm->getPreviousFrame(), nTo = pArm->getFrame();
        if (m_pTarget && nFrom <= nTo) {
            for (int nFrame = nFrom; nFrame <= nTo; ++nFrame) {
                if (!pArm->findFramePropAt(s_sDoActionKey, nFrame)) continue;
                Tsl::SmartPtr<IActionTarget> pTarget = m_pTarget;
                if (pTarget->canDoAction(m_nActingHand)) pTarget->doAction(m_nActingHand);
                releaseTarget();
                break;
            }
        }
        if (!pArm->isPlaying()) {
            setState(STATE_STAND);
            releaseTarget();
        }
    }
    if (bArmChanged) placeMugs();
}

// ---- the figure --------------------------------------------------------------------------------

void Waitress::showStandingArms() {
    const char* pszHeading = s_apszHeadings[m_nHeading];
    for (int i = 0; i < ARM_COUNT; ++i) {
        if (m_bHasTray) {
            play(m_pArmSprites[i], Tsl::String::format(Names::SEQ_STAND_ARM, pszHeading, "tray", s_apszHands[i]));
        } else {
            bool bFull = contentsFull(i);
            play(m_pArmSprites[i],
                 Tsl::String::format(Names::SEQ_STAND_ARM, pszHeading, bFull ? "full" : "empty", s_apszHands[i]));
            play(m_pThumbSprites[i], bFull ? Tsl::String::format(Names::SEQ_STAND_THUMB, pszHeading, s_apszHands[i])
                                           : Tsl::String(Names::SEQ_THUMB_EMPTY));
        }
        m_pArmSprites[i]->stop();
    }
}

void Waitress::playArmSequence(int nHandIndex, const char* pszArm, const char* pszThumb) {
    if (m_bHasTray) {
        play(m_pArmSprites[0], pszArm);
    } else {
        play(m_pThumbSprites[nHandIndex], pszThumb);
        play(m_pArmSprites[nHandIndex], pszArm);
    }
    placeMugs();
}

void Waitress::updateZOrders() {
    int nZ = m_pMainSprite->getZOrder();
    const int* pnOffsets = s_aanLimbZ[m_nHeading];
    m_pArmSprites[0]->setZOrder(nZ + pnOffsets[0]);
    m_pArmSprites[1]->setZOrder(nZ + pnOffsets[1]);
    m_pThumbSprites[0]->setZOrder(nZ + pnOffsets[2]);
    m_pThumbSprites[1]->setZOrder(nZ + pnOffsets[3]);
}

// ---- carrying ----------------------------------------------------------------------------------

Tsl::SmartPtr<Mug> Waitress::getHandContents(int nSlot) const {
    if (nSlot < 0 || nSlot >= m_nCapacity || nSlot >= m_lMugs.getCount()) return nullptr;
    return m_lMugs.getAt(nSlot);
}

int Waitress::getMugCount() const {
    int nCount = 0;
    for (const Tsl::SmartPtr<Mug>& pMug : m_lMugs)
        if (pMug) ++nCount;
    return nCount;
}

bool Waitress::setHandContents(Tsl::SmartPtr<Mug> pMug) {
    int nSlot = 0;
    for (Tsl::List<Tsl::SmartPtr<Mug>>::Node* pNode = m_lMugs.getHead(); pNode && nSlot < m_nCapacity;
         pNode = pNode->pNext, ++nSlot)
        if (!pNode->data) {
            pNode->data = pMug;
            placeMugs();
            return true;
        }
    return false;
}

bool Waitress::setHandContents(Tsl::SmartPtr<Mug> pMug, int nSlot) {
    if (nSlot < 0 || nSlot >= m_nCapacity || nSlot >= m_lMugs.getCount()) return false;
    Tsl::List<Tsl::SmartPtr<Mug>>::Node* pNode = m_lMugs.getNode(nSlot);
    if (pNode->data) return false;
    pNode->data = pMug;
    placeMugs();
    return true;
}

Tsl::SmartPtr<Mug> Waitress::takeHandContents(int nSlot) {
    if (nSlot < 0 || nSlot >= m_nCapacity || nSlot >= m_lMugs.getCount()) return nullptr;
    Tsl::List<Tsl::SmartPtr<Mug>>::Node* pNode = m_lMugs.getNode(nSlot);
    Tsl::SmartPtr<Mug> pMug = pNode->data;
    pNode->data = nullptr;
    placeMugs();
    return pMug;
}

Tsl::List<Tsl::SmartPtr<Mug>> Waitress::takeEmptyMugs() {
    Tsl::List<Tsl::SmartPtr<Mug>> lTaken;
    for (Tsl::List<Tsl::SmartPtr<Mug>>::Node* pNode = m_lMugs.getHead(); pNode; pNode = pNode->pNext)
        if (pNode->data && pNode->data->isEmpty()) {
            lTaken.append(pNode->data);
            pNode->data = nullptr;
        }
    if (!lTaken.isEmpty()) placeMugs();
    return lTaken;
}

Tsl::List<Tsl::SmartPtr<Mug>> Waitress::getFullMugs() const {
    Tsl::List<Tsl::SmartPtr<Mug>> lFull;
    for (const Tsl::SmartPtr<Mug>& pMug : m_lMugs)
        if (pMug && !pMug->isEmpty()) lFull.append(pMug);
    return lFull;
}

int Waitress::handPlace(const Tsl::SmartPtr<AnimSprite>& pArm) const {
    const Tsl::String* pValue = pArm->findFramePropAt(s_sPositionKey);
    int nPlace = pValue ? Tsl::String::toInt(*pValue) : 0;
    if (nPlace < 0 || nPlace >= HAND_PLACE_COUNT) {
        Tsl::String sKey = Tsl::String::format("position %s", pArm->getSequenceName().c_str());
        if (!m_hMissing.hasKey(sKey)) {
            m_hMissing.set(sKey, 1);
            GameApp::log("Waitress: %s frame %d has hand place %d outside 0-87\n", pArm->getSequenceName().c_str(),
                         pArm->getFrame(), nPlace);
        }
        nPlace = nPlace < 0 ? 0 : HAND_PLACE_COUNT - 1;
    }
    return nPlace;
}

void Waitress::placeMugs() {
    Tsl::SmartPtr<Image> pImage = m_pMainSprite->getImage();
    // Without a body picture there is no canvas to lay the glasses on.
    if (!pImage || getMugCount() == 0) return;
    int nW = pImage->getWidth(), nH = pImage->getHeight();
    float fLeft = float(m_pMainSprite->getX() - pImage->getInsPointX());
    float fTop = float(m_pMainSprite->getY() - pImage->getInsPointY());
    float s = m_fScale;
    auto mapX = [&](int nPx) { return fLeft + nW / 2 + (nPx - nW / 2) * s; };
    auto mapY = [&](int nPy) { return fTop + nH - (nH - nPy) * s; };
    float fTrayX = 0.0f, fTrayY = 0.0f;
    if (m_bHasTray) {
        int nPlace = handPlace(m_pArmSprites[m_nCapacity <= 4 ? 1 : 0]);
        fTrayX = mapX(s_anMugX[nPlace]);
        fTrayY = mapY(s_anMugY[nPlace]);
    }
    int nSlot = 0;
    for (const Tsl::SmartPtr<Mug>& pMug : m_lMugs) {
        int i = nSlot++;
        if (!pMug) continue;
        int nX, nY, nZ;
        if (!m_bHasTray) {
            if (i > 1) continue;
            int nPlace = handPlace(m_pArmSprites[i]);
            nX = static_cast<int>(mapX(s_anMugX[nPlace]));
            nY = static_cast<int>(mapY(s_anMugY[nPlace]));
            nZ = m_pArmSprites[i]->getZOrder() + s_aanHandGlassZ[i][m_nHeading];
        } else {
            if (i >= m_nCapacity) continue;
            const int* pnPlace = m_nCapacity == 4 ? s_aanTray4[m_nHeading][i] : s_aanTray6[m_nHeading][i];
            nX = static_cast<int>(fTrayX + pnPlace[0] * s);
            nY = static_cast<int>(fTrayY + pnPlace[1] * s);
            nZ = m_pArmSprites[m_nHeading == EAST ? 1 : 0]->getZOrder() + pnPlace[2];
        }
        pMug->setPosition(nX, nY, nZ);
        pMug->setViewMode(m_bHasTray ? Mug::VIEW_TRAY : Mug::VIEW_STAND);
        pMug->setHeading(m_nHeading);
        pMug->setScale(s);
    }
}
