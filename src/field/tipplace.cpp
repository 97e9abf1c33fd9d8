#include "field/tipplace.h"

#include <algorithm>
#include <climits>

// A frame or a shadow reaches a little past what a sprite reports.
void TipPlacer::addArea(Tsl::List<Rect>& lAreas, const Rect& area) {
    if (!area.isEmpty()) lAreas.append(Rect(area.left - GAP, area.top - GAP, area.right + GAP, area.bottom + GAP));
}

int TipPlacer::coveredArea(const Rect& bubble, const Tsl::List<Rect>& lAreas) {
    int nArea = 0;
    for (const Rect& area : lAreas) {
        Rect covered = bubble.intersect(area);
        if (!covered.isEmpty()) nArea += covered.getWidth() * covered.getHeight();
    }
    return nArea;
}

// How far a bubble stands from its subject: the gaps between their edges.
int TipPlacer::distance(const Rect& bubble, const Rect& subject) {
    int nDx = std::max({0, subject.left - bubble.right, bubble.left - subject.right});
    int nDy = std::max({0, subject.top - bubble.bottom, bubble.top - subject.bottom});
    return nDx + nDy;
}

bool TipPlacer::isFree(const Rect& bubble, bool bOfPreferred) const {
    return coveredArea(bubble, m_lMust) == 0 && (!bOfPreferred || coveredArea(bubble, m_lPrefer) == 0);
}

Rect TipPlacer::clampToScreen(int nLeft, int nTop, int nWidth, int nHeight) const {
    int nMaxLeft = std::max(m_screen.left + MARGIN, m_screen.right - MARGIN - nWidth);
    int nMaxTop = std::max(m_screen.top + MARGIN, m_screen.bottom - MARGIN - nHeight);
    nLeft = std::min(std::max(nLeft, int(m_screen.left + MARGIN)), nMaxLeft);
    nTop = std::min(std::max(nTop, int(m_screen.top + MARGIN)), nMaxTop);
    return Rect(nLeft, nTop, nLeft + nWidth, nTop + nHeight);
}

// The places right beside the subject, in order of preference: centred on
// its side, then slid along that side to line up with either end.
void TipPlacer::addBesideSubject(Tsl::List<Rect>& lPlaces, int nWidth, int nHeight, const Rect& subject) const {
    int nMidX = (subject.left + subject.right - nWidth) / 2, nMidY = (subject.top + subject.bottom - nHeight) / 2;
    int nRight = subject.right + GAP, nLeft = subject.left - GAP - nWidth;
    int nAbove = subject.top - GAP - nHeight, nBelow = subject.bottom + GAP;
    for (int nX : {nRight, nLeft})
        for (int nY : {nMidY, subject.top, subject.bottom - nHeight}) lPlaces.append(clampToScreen(nX, nY, nWidth, nHeight));
    for (int nY : {nAbove, nBelow})
        for (int nX : {nMidX, subject.left, subject.right - nWidth}) lPlaces.append(clampToScreen(nX, nY, nWidth, nHeight));
}

Rect TipPlacer::place(int nWidth, int nHeight, const Rect& subject) const {
    Tsl::List<Rect> lPlaces;
    Rect target = subject;
    if (subject.isEmpty()) {
        // A hint about the whole bar: over the back of the field, centred,
        // or at the top of the screen when a long one would reach down to
        // what must stay clear there.
        int nLeft = (m_screen.left + m_screen.right - nWidth) / 2;
        target = clampToScreen(nLeft, m_screen.top + TOP_BAND, nWidth, nHeight);
        lPlaces.append(target);
        lPlaces.append(clampToScreen(nLeft, m_screen.top + MARGIN, nWidth, nHeight));
    } else {
        addBesideSubject(lPlaces, nWidth, nHeight, subject);
    }
    for (bool bOfPreferred : {true, false})
        for (const Rect& place : lPlaces)
            if (isFree(place, bOfPreferred)) return place;
    return nearestFree(nWidth, nHeight, target);
}

// Every place on the screen, a few pixels apart: the one nearest to the
// target that is free, of the preferred areas too if it can be; else the one
// covering least of what must stay clear.
Rect TipPlacer::nearestFree(int nWidth, int nHeight, const Rect& target) const {
    Rect best = clampToScreen(target.left, target.top, nWidth, nHeight);
    long long nBestCost = LLONG_MAX;
    for (int nTop = m_screen.top; nTop <= m_screen.bottom - nHeight; nTop += SCAN_STEP)
        for (int nLeft = m_screen.left; nLeft <= m_screen.right - nWidth; nLeft += SCAN_STEP) {
            Rect place = clampToScreen(nLeft, nTop, nWidth, nHeight);
            long long nMust = coveredArea(place, m_lMust), nPrefer = coveredArea(place, m_lPrefer) > 0;
            // Covering what must stay clear outweighs everything, then the
            // preferred areas, then the distance.
            long long nCost = (nMust * 2 + nPrefer) * (m_screen.getWidth() + m_screen.getHeight()) * 4 +
                              distance(place, target);
            if (nCost < nBestCost) {
                nBestCost = nCost;
                best = place;
            }
        }
    return best;
}
