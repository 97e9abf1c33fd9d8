#include "field/customers/character.h"

#include "field/customers/actionballoon.h"
#include "anim/animation.h"
#include "app/gameapp.h"
#include "field/customers/characterspot.h"
#include "field/mug.h"
#include "base/names.h"
#include "field/picturehit.h"
#include "field/playmode.h"
#include "field/targets/fieldspots.h"
#include "player/qarnplayer.h"
#include "rules/upgrademanager.h"

namespace {
enum { MIN_PATIENCE = 5, BALLOON_Z = 50 };
// The order balloon is 60 x 66 pixels about its middle, the meter reaches 41
// above it; the face lies between 158 and 140 above the feet.
enum { BALLOON_HALF_WIDTH = 30, BALLOON_TOP = 41, BALLOON_BOTTOM = 33 };
enum { FACE_HALF_WIDTH = 12, FACE_TOP = 158, FACE_BOTTOM = 140 };
// Where a guest without a figure of its own stands, around its place.
enum { BARE_HALF_WIDTH = 40, BARE_HEIGHT = 170 };
}

Character::Character(PlayMode* pMode, const char* pszName, int nSeat, int nX, int nY, int nDepth, bool bVip,
                     int nVipSide, int nVoice)
    : m_pMode(pMode),
      m_sName(pszName),
      m_nSeat(nSeat),
      m_nX(nX),
      m_nY(nY),
      m_nDepth(nDepth),
      m_bVip(bVip),
      m_nVipSide(nVipSide),
      m_nVoice(nVoice & 3),
      m_nSeatKind(0),
      m_nState(STATE_ARRIVING),
      m_fStateTime(0.0f),
      m_fPatience(0.0f),
      m_fPatienceLeft(0.0f),
      m_fRefusalLeft(0.0f),
      m_nOrder(0) {
    TSL_TRACE();
    GameApp* pApp = GameApp::getInstance();
    Tsl::String sAnim = Tsl::String::format(Names::CHAR_ANIM_FORMAT, pszName);
    if (pApp->hasAnimation(sAnim) || pApp->hasResource(sAnim)) {
        m_pSprite = new AnimSprite(pApp->getAnimation(sAnim), nX, nY, nDepth);
        if (m_nVipSide == 0) m_pSprite->setScale(-1.0f, 1.0f);
        if (m_pMode) m_pMode->addSprite(m_pSprite.get());
    }
    int nBonus = 0;
    if (m_pMode) {
        nBonus =
            UpgradeManager().getValue(UpgradeManager::KIND_SHOW, m_pMode->getUpgradeLevel(UpgradeManager::KIND_SHOW));
        if (nBonus < 0) nBonus = 0;
    }
    float fPatience = float(PATIENCE_SECONDS - 5 * (m_pMode ? m_pMode->getDifficulty() : 0) + nBonus);
    if (m_bVip) fPatience *= 0.5f;
    m_fPatience = fPatience < MIN_PATIENCE   ? float(MIN_PATIENCE)
                  : fPatience > MAX_PATIENCE ? float(MAX_PATIENCE)
                                             : fPatience;
    m_pBalloon = new ActionBalloon(m_pMode, this, balloonX(), balloonY(), balloonZ());
    if (m_pMode && pApp->hasResource(Names::BALLOON_ANIM)) {
        m_pBalloonSprite =
            new AnimSprite(pApp->getAnimation(Names::BALLOON_ANIM), balloonX(), balloonY(), balloonZ());
        m_pMode->addSprite(m_pBalloonSprite.get());
        m_pBalloon->addPicture(m_pBalloonSprite.get());
    }
    m_pBalloon->setShown(false);
    if (m_pMode) m_pMode->addBalloon(m_pBalloon);
    m_pOrderBalloon = new OrderBalloon(m_pMode, balloonX(), balloonY(), balloonZ());
    setState(STATE_ARRIVING, Names::SEQ_CUSTOMER_SIT);
}

Character::~Character() {}

Rect Character::balloonBox(int nX, int nY) {
    return Rect(nX - BALLOON_HALF_WIDTH, nY - BALLOON_TOP, nX + BALLOON_HALF_WIDTH, nY + BALLOON_BOTTOM);
}

Rect Character::faceBox(int nX, int nY) {
    return Rect(nX - FACE_HALF_WIDTH, nY - FACE_TOP, nX + FACE_HALF_WIDTH, nY - FACE_BOTTOM);
}

// Moved as the seat's place asks, clear of the stations and other balloons.
int Character::balloonX() const {
    Tsl::SmartPtr<CharacterSpot> pSpot = seatSpot();
    return m_nX + (pSpot ? pSpot->getBalloonShiftX() : 0);
}

int Character::balloonY() const {
    Tsl::SmartPtr<CharacterSpot> pSpot = seatSpot();
    return m_nY - BALLOON_RISE + (pSpot ? pSpot->getBalloonShiftY() : 0);
}

int Character::balloonZ() const { return m_nDepth + BALLOON_Z; }

void Character::setSeatKind(int nKind) {
    m_nSeatKind = nKind;
    if (nKind != 0) sitAt(seatPlace());
}

Tsl::SmartPtr<CharacterSpot> Character::seatSpot() const {
    const PlayField* pField = m_pMode ? m_pMode->getField() : nullptr;
    if (!pField || m_nSeat < 0 || m_nSeat >= pField->m_lSeatSpots.getCount()) return nullptr;
    return pField->m_lSeatSpots.getAt(m_nSeat);
}

SeatPlace Character::seatPlace() const {
    if (Tsl::SmartPtr<CharacterSpot> pSpot = seatSpot()) return pSpot->getPlace();
    SeatPlace place;
    place.nX = place.nGlassX = m_nX;
    place.nY = place.nGlassY = m_nY;
    place.nDepth = m_nDepth;
    place.nGlassZ = m_nDepth + 1;
    return place;
}

void Character::sitAt(const SeatPlace& place) {
    m_nX = place.nX;
    m_nY = place.nY;
    m_nDepth = place.nDepth;
    if (m_pSprite) {
        m_pSprite->setPosition(m_nX, m_nY);
        m_pSprite->setZOrder(m_nDepth);
    }
    if (m_pBalloon) m_pBalloon->moveTo(balloonX(), balloonY(), balloonZ());
    if (m_pOrderBalloon) m_pOrderBalloon->moveTo(balloonX(), balloonY(), balloonZ());
}

int Character::hitTest(int nX, int nY) const {
    int nHit = higherHit(pictureHit(m_pSprite.get(), nX, nY), m_pOrderBalloon->hitTest(nX, nY));
    return m_pMug ? higherHit(nHit, m_pMug->hitTest(nX, nY)) : nHit;
}

Rect Character::getScreenBox() const {
    Rect box = m_pSprite ? m_pSprite->getScreenPixelRect() : Rect();
    if (box.isEmpty()) box = Rect(m_nX - BARE_HALF_WIDTH, m_nY - BARE_HEIGHT, m_nX + BARE_HALF_WIDTH, m_nY);
    if (m_pBalloonSprite) box = box.unite(m_pBalloonSprite->getScreenPixelRect());
    if (m_pOrderBalloon) box = box.unite(m_pOrderBalloon->getScreenBox());
    return box;
}

void Character::setState(int nState, const char* pszSequence) {
    m_nState = nState;
    m_fStateTime = 0.0f;
    if (m_pSprite && pszSequence) m_pSprite->play(pszSequence, 0.0f, -1);
}

void Character::showBalloon(bool bShow) {
    if (m_pBalloon) m_pBalloon->setShown(bShow);
}

void Character::update(float fDt) {
    if (m_pSprite) m_pSprite->update(fDt);
    if (m_pBalloonSprite) m_pBalloonSprite->update(fDt);
    m_fStateTime += fDt;
    switch (m_nState) {
        case STATE_ARRIVING:
            if (m_fStateTime < ARRIVE_SECONDS) return;
            m_nOrder = m_pMode ? m_pMode->drawOrder() : 0;
            m_fPatienceLeft = m_fPatience;
            setState(STATE_ASKING, Names::SEQ_CUSTOMER_ASK);
            showBalloon(true);
            m_pOrderBalloon->showPatience(1.0f);
            if (m_pMode) {
                m_pMode->playSound(Tsl::String::format(Names::SFX_ASK_FORMAT, m_nVoice));
                m_pMode->onTipEvent(PlayMode::TIP_ORDER, getScreenBox());
            }
            return;
        case STATE_ASKING:
        case STATE_WAITING: updatePatience(fDt); return;
        case STATE_DRINKING:
            if (m_fStateTime < SIP_SECONDS) return;
            m_fStateTime -= SIP_SECONDS;
            if (m_pMug) m_pMug->sip();
            if (!m_pMug || m_pMug->isEmpty()) pay();
            return;
        default: return;
    }
}

void Character::updatePatience(float fDt) {
    if (m_fRefusalLeft > 0.0f) {
        m_fRefusalLeft -= fDt;
        if (m_fRefusalLeft <= 0.0f && m_pSprite) m_pSprite->play(Names::SEQ_CUSTOMER_WAIT, 0.0f, -1);
    }
    m_fPatienceLeft -= fDt;
    if (m_fPatienceLeft > 0.0f) {
        m_pOrderBalloon->showPatience(m_fPatienceLeft / m_fPatience);
        return;
    }
    m_fPatienceLeft = 0.0f;
    m_fRefusalLeft = 0.0f;
    Rect box = getScreenBox();
    showBalloon(false);
    m_pOrderBalloon->hide();
    setState(STATE_GONE, Names::SEQ_CUSTOMER_ANGRY);
    if (m_pMode) {
        m_pMode->playSound(Tsl::String::format(Names::SFX_MISTAKE_FORMAT, m_nVoice));
        m_pMode->onCustomerLost(box);
    }
}

void Character::takeOrder() {
    if (m_nState != STATE_ASKING) return;
    m_fPatienceLeft = m_fPatience;
    setState(STATE_WAITING, Names::SEQ_CUSTOMER_WAIT);
    showBalloon(false);
    m_pOrderBalloon->showDrink(m_nOrder, wantsDecoration());
    m_pOrderBalloon->showPatience(1.0f);
    if (m_pMode) m_pMode->onTipEvent(PlayMode::TIP_ORDER_TAKEN, getScreenBox());
}

// Where the bar can decorate a glass, every guest pays for the decoration,
// so its order asks for one.
bool Character::wantsDecoration() const {
    if (!m_pMode) return false;
    for (const Tsl::SmartPtr<ActionSpot>& pSpot : m_pMode->getSpots())
        if (dynamic_cast<const PropDispenser*>(pSpot.get())) return true;
    return false;
}

bool Character::accepts(const Mug* pMug) const {
    return m_nState == STATE_WAITING && pMug && !pMug->isEmpty() && pMug->getDrink() == m_nOrder;
}

// An asking guest takes the glass too: she takes the order when she stops beside it.
bool Character::awaits(const Mug* pMug) const {
    return (m_nState == STATE_ASKING || m_nState == STATE_WAITING) && pMug && !pMug->isEmpty() &&
           pMug->getDrink() == m_nOrder;
}

void Character::serve(Tsl::SmartPtr<Mug> pMug) {
    if (!accepts(pMug.get())) return;
    m_pMug = pMug;
    // A VIP stands on the sand with nothing before it: the glass served is in
    // its hand, where its look holds one. Others have theirs before them,
    // beside any glass an earlier guest left on the seat. Either way the
    // glass shows the drink going down.
    Tsl::SmartPtr<CharacterSpot> pSpot = seatSpot();
    SeatPlace place = pSpot ? pSpot->getNextGlassPlace() : seatPlace();
    bool bInHand = m_bVip && findHand(place.nGlassX, place.nGlassY);
    if (bInHand) place.nGlassZ = m_nDepth + 1;
    m_pMug->setPosition(place.nGlassX, place.nGlassY, place.nGlassZ);
    m_pMug->setViewMode(Mug::VIEW_DRINK);
    m_pMug->setScale(bInHand ? HELD_GLASS_SCALE : 1.0f);
    m_pMug->setVisible(true);
    m_fRefusalLeft = 0.0f;
    m_pOrderBalloon->hide();
    setState(STATE_DRINKING, bInHand ? Names::SEQ_CUSTOMER_DRINK : Names::SEQ_CUSTOMER_SIP);
}

bool Character::findHand(int& nX, int& nY) const {
    Animation* pLook = m_pSprite ? m_pSprite->getAnimation().get() : nullptr;
    if (!pLook || !pLook->hasProp(Names::PROP_HOLD_X) || !pLook->hasProp(Names::PROP_HOLD_Y)) return false;
    int nDx = Tsl::String::toInt(pLook->getProp(Names::PROP_HOLD_X).c_str());
    nX = m_nX + (m_pSprite->getScaleX() < 0.0f ? -nDx : nDx);
    nY = m_nY - Tsl::String::toInt(pLook->getProp(Names::PROP_HOLD_Y).c_str());
    return true;
}

void Character::refuseGlass() {
    if (m_nState != STATE_WAITING) return;
    m_fRefusalLeft = REFUSAL_SECONDS;
    if (m_pSprite) m_pSprite->play(Names::SEQ_CUSTOMER_ANGRY, 0.0f, -1);
    if (m_pMode) m_pMode->playSound(Tsl::String::format(Names::SFX_MISTAKE_FORMAT, m_nVoice));
}

void Character::pay() {
    int nMoney = DRINK_PRICE + (m_pMug && m_pMug->isDecorated() ? DECORATION_BONUS : 0);
    if (m_bVip) nMoney *= 2;
    float fShare = m_fPatience > 0.0f ? m_fPatienceLeft / m_fPatience : 0.0f;
    int nStars = fShare > 2.0f / 3.0f ? MAX_STARS : fShare > 1.0f / 3.0f ? 2 : 1;
    Rect box = getScreenBox();
    setState(STATE_GONE, Names::SEQ_CUSTOMER_LEAVE);
    if (!m_pMode) return;
    if (m_pMug) {
        if (Tsl::SmartPtr<CharacterSpot> pSpot = seatSpot())
            pSpot->addUsedGlass(m_pMug);
        else
            m_pMug->detach();
        m_pMug = nullptr;
    }
    m_pMode->playSound(Names::SFX_PAY);
    m_pMode->onCustomerPaid(nMoney, nStars, box);
}

Tsl::SmartPtr<Mug> Character::takeUsedGlass() {
    Tsl::SmartPtr<Mug> pMug = m_pMug;
    m_pMug = nullptr;
    return pMug;
}

void Character::leave() {
    m_nState = STATE_GONE;
    if (m_pBalloon) {
        m_pBalloon->detachCharacter();
        m_pBalloon->removePictures();
    }
    m_pBalloonSprite = nullptr;
    m_pOrderBalloon->remove();
    if (m_pSprite && m_pSprite->getOwnerMode()) m_pSprite->getOwnerMode()->removeSprite(m_pSprite.get());
    m_pSprite = nullptr;
    if (m_pMug) m_pMug->detach();
    m_pMug = nullptr;
}
