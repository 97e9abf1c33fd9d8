#include "ui/slider.h"

#include "app/gameapp.h"
#include "ui/styles.h"
#include "ui/theme.h"

#include <algorithm>

SliderBase::SliderBase(int nId, bool bVertical, int nLength, int nMin, int nMax, int nValue)
    : Control(nId), m_bVertical(bVertical), m_nLength(std::max(1, nLength)), m_nMin(std::min(nMin, nMax)),
      m_nMax(std::max(nMin, nMax)), m_nValue(0), m_sStyle("Default"), m_nGrabOffset(0) {
    m_nValue = std::max(m_nMin, std::min(m_nMax, nValue));
    setStyle(m_sStyle);
}

SliderBase::~SliderBase() {}

void SliderBase::setStyle(const Tsl::String& sStyle) {
    m_sStyle = sStyle;
    m_pStyle = GameApp::getInstance()->getTheme()->getSliderStyle(sStyle);
    render();
}

void SliderBase::setValue(int nValue) {
    nValue = std::max(m_nMin, std::min(m_nMax, nValue));
    if (nValue == m_nValue) return;
    m_nValue = nValue;
    render();
}

void SliderBase::setRange(int nMin, int nMax) {
    m_nMin = std::min(nMin, nMax);
    m_nMax = std::max(nMin, nMax);
    m_nValue = std::max(m_nMin, std::min(m_nMax, m_nValue));
    render();
}

namespace {
int thumbLength(const SliderStyle* pStyle, bool bVertical) {
    if (!pStyle || !pStyle->pThumb) return 8;
    return bVertical ? pStyle->pThumb->getHeight() : pStyle->pThumb->getWidth();
}
} // namespace

int SliderBase::getTravel() const { return std::max(0, m_nLength - thumbLength(m_pStyle, m_bVertical)); }

int SliderBase::getThumbOffset() const {
    int nRange = m_nMax - m_nMin;
    int nAlong = nRange > 0 ? static_cast<int>(static_cast<long long>(m_nValue - m_nMin) * getTravel() / nRange) : 0;
    // Vertical sliders have their maximum at the top.
    if (m_bVertical) nAlong = getTravel() - nAlong;
    return nAlong + thumbLength(m_pStyle, m_bVertical) / 2;
}

int SliderBase::valueAt(int nOffset) const {
    int nTravel = getTravel();
    int nAlong = std::max(0, std::min(nTravel, nOffset - thumbLength(m_pStyle, m_bVertical) / 2));
    if (m_bVertical) nAlong = nTravel - nAlong;
    if (nTravel == 0) return m_nMin;
    long long nRange = m_nMax - m_nMin;
    // Rounded to the nearest value.
    return m_nMin + static_cast<int>((nAlong * nRange * 2 + nTravel) / (2LL * nTravel));
}

int SliderBase::offsetOf(int nX, int nY) const {
    Point local = screenToLocal(Point(float(nX), float(nY)));
    return m_bVertical ? int(local.y) : int(local.x);
}

void SliderBase::moveTo(int nX, int nY) {
    int nValue = valueAt(offsetOf(nX, nY) - m_nGrabOffset);
    if (nValue == m_nValue) return;
    setValue(nValue);
    fireCallback(m_nValue);
}

void SliderBase::onPress(int nX, int nY) {
    int nOffset = offsetOf(nX, nY);
    int nFromThumb = nOffset - getThumbOffset();
    int nHalf = thumbLength(m_pStyle, m_bVertical) / 2;
    // A press on the thumb keeps it where it was grabbed; one beside it jumps.
    m_nGrabOffset = (nFromThumb >= -nHalf && nFromThumb <= nHalf) ? nFromThumb : 0;
    moveTo(nX, nY);
}

void SliderBase::onDrag(int nX, int nY) { moveTo(nX, nY); }

void SliderBase::updateLook() {}

void SliderBase::render() {
    TSL_TRACE();
    if (!m_pStyle || !m_pStyle->pTrack || !m_pStyle->pThumb) return;
    Image* pTrack = m_pStyle->pTrack;
    Image* pThumb = m_pStyle->pThumb;
    int nTrackThickness = m_bVertical ? pTrack->getWidth() : pTrack->getHeight();
    int nThumbThickness = m_bVertical ? pThumb->getWidth() : pThumb->getHeight();
    int nThickness = std::max(nTrackThickness, nThumbThickness);
    int nWidth = m_bVertical ? nThickness : m_nLength;
    int nHeight = m_bVertical ? m_nLength : nThickness;
    Tsl::SmartPtr<Image> pImage = GameApp::getInstance()->createImage(nWidth, nHeight, true);
    pImage->fill(Color(0, 0, 0, 0));
    int nTrackStart = (nThickness - nTrackThickness) / 2;
    Rect track = m_bVertical ? Rect(nTrackStart, 0, nTrackStart + nTrackThickness, m_nLength)
                             : Rect(0, nTrackStart, m_nLength, nTrackStart + nTrackThickness);
    StyleDraw::drawNineSlice(pImage, pTrack, m_pStyle->borders, track);
    int nThumbStart = getThumbOffset() - thumbLength(m_pStyle, m_bVertical) / 2;
    int nAcross = (nThickness - nThumbThickness) / 2;
    Rect thumb(0, 0, pThumb->getWidth(), pThumb->getHeight());
    if (m_bVertical) StyleDraw::drawPart(pImage, pThumb, thumb, nAcross, nThumbStart);
    else StyleDraw::drawPart(pImage, pThumb, thumb, nThumbStart, nAcross);
    showImage(pImage);
}
