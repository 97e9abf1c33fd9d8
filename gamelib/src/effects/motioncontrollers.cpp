#include "effects/motioncontrollers.h"

#include "effects/timedduration.h"
#include "sprite/sprite.h"

#include "tsl2/error.h"

SCLinearPath::SCLinearPath(const Point& offset, float fValue, int eType) : m_bAbsolute(false) {
    SCLinearPath::setPath(Point(0.0f, 0.0f), offset, fValue, eType);
}

SCLinearPath::SCLinearPath(const Point& from, const Point& to, float fValue, int eType) : m_bAbsolute(true) {
    SCLinearPath::setPath(from, to, fValue, eType);
}

void SCLinearPath::setPath(const Point& from, const Point& to, float fValue, int eType) {
    TSL_TRACE();
    m_from = from;
    m_to = to;
    float fDuration = fValue;
    if (eType == BY_SPEED) fDuration = fValue == 0.0f ? 100000.0f : (to - from).getLength() / fValue;
    else if (eType != BY_DURATION) TSL_THROW(FatalErrorException, "Unsupported eType");
    setTimedDuration(*this, fDuration);
}

void SCLinearPath::start(Tsl::SmartPtr<Sprite> pSprite) {
    if (m_bAbsolute) pSprite->setPosition(m_from);
    m_applied = Point(0.0f, 0.0f);
}

bool SCLinearPath::update(Tsl::SmartPtr<Sprite> pSprite) {
    Point offset = (m_to - m_from) * getTimer()->getProgress();
    pSprite->setPosition(pSprite->getPosition() + offset - m_applied);
    m_applied = offset;
    bool bDone = getTimer()->isDone();
    if (bDone && m_bAbsolute) pSprite->setPosition(m_to);
    return bDone;
}

SCVerticalParabola::SCVerticalParabola(const Point& from, const Point& to, float fHeight, float fDuration)
    : m_from(from) {
    setTimedDuration(*this, fDuration);
    m_fA = to.x - from.x;
    m_fB = (fHeight - from.y) / 0.33333334f;
    m_fC = (to.y - from.y) - m_fB;
}

bool SCVerticalParabola::update(Tsl::SmartPtr<Sprite> pSprite) {
    float p = getTimer()->getProgress();
    pSprite->setPosition(m_from.x + m_fA * p, m_from.y + m_fB * p + m_fC * p * p);
    return getTimer()->isDone();
}

bool SCSetPosition::update(Tsl::SmartPtr<Sprite> pSprite) {
    pSprite->setPosition(m_position);
    return true;
}

bool SCSetScreenPosition::update(Tsl::SmartPtr<Sprite> pSprite) {
    if (Tsl::SmartPtr<Image> pImage = pSprite->getImage()) pImage->alignInsPoint(m_nFlags);
    pSprite->setPosition(m_position);
    return true;
}

bool SCSetInsPoint::update(Tsl::SmartPtr<Sprite> pSprite) {
    if (Tsl::SmartPtr<Image> pImage = pSprite->getImage()) pImage->alignInsPoint(m_nFlags);
    return true;
}

bool SCSetZOrder::update(Tsl::SmartPtr<Sprite> pSprite) {
    pSprite->setZOrder(m_nZOrder);
    return true;
}
