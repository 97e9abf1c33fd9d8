#include "field/customers/seatlayout.h"

#include "field/customers/character.h"
#include "field/customers/characterspot.h"
#include "field/picturehit.h"
#include "field/targets/fieldspots.h"

#include "anim/animation.h"
#include "anim/animsprite.h"
#include "app/gameapp.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The box a glass standing at the foot (x, y) may draw, the row behind included.
Rect glassBox(int nX, int nY) {
    int nTop = nY - SeatLayout::GLASS_HEIGHT - SeatLayout::ROW_RISE * (SeatLayout::ROWS - 1);
    return Rect(nX - SeatLayout::GLASS_HALF_WIDTH, nTop, nX + SeatLayout::GLASS_HALF_WIDTH, nY);
}

bool isStation(const ActionSpot* pSpot) {
    return dynamic_cast<const LiquidButton*>(pSpot) || dynamic_cast<const TrashBin*>(pSpot) ||
           dynamic_cast<const PropDispenser*>(pSpot);
}

// What a picture draws on the screen: the box around its pixels that are
// not see-through.
Rect drawnBox(const Sprite* pPicture) {
    Image* pImage = pPicture ? pPicture->getDrawImage().get() : nullptr;
    if (!pImage || !pPicture->isVisible()) return Rect();
    Rect box = pImage->getCoveredRect(0);
    // An animation draws each frame of what it plays in turn.
    if (const AnimSprite* pAnimated = dynamic_cast<const AnimSprite*>(pPicture)) {
        const char* pszPlaying = pAnimated->getSequenceName().c_str();
        for (int f = 0; f < pAnimated->getAnimation()->getFrameCount(pszPlaying); ++f) {
            Tsl::SmartPtr<Image> pFrame = pAnimated->getAnimation()->getFrameImage(pszPlaying, f);
            Rect frame = pFrame ? pFrame->getCoveredRect(0) : Rect();
            box = box.unite(frame);
        }
    }
    if (box.isEmpty()) return box;
    return Rect(pPicture->localToScreen(Point(float(box.left), float(box.top))),
                pPicture->localToScreen(Point(float(box.right), float(box.bottom))));
}

}  // namespace

SeatLayout::SeatLayout(const Tsl::List<Tsl::SmartPtr<Sprite>>& lScenery,
                       const Tsl::List<Tsl::SmartPtr<ActionSpot>>& lSpots, const Rect& screen)
    : m_lScenery(lScenery), m_screen(screen) {
    for (const Tsl::SmartPtr<Sprite>& pPicture : lScenery)
        m_lOnSurfaces.append(Obstacle{pPicture.get(), drawnBox(pPicture.get()), pPicture->getZOrder()});
    for (const Tsl::SmartPtr<ActionSpot>& pSpot : lSpots) {
        if (dynamic_cast<CharacterSpot*>(pSpot.get())) continue;
        for (const Tsl::SmartPtr<Sprite>& pPicture : pSpot->getPictures()) {
            Rect box = drawnBox(pPicture.get());
            m_lOnSurfaces.append(Obstacle{pPicture.get(), box, pPicture->getZOrder()});
            if (isStation(pSpot.get())) m_lStations.append(box);
        }
        // A coaster is there for a glass the waitress sets down.
        if (dynamic_cast<GlassSpot*>(pSpot.get()))
            m_lOnSurfaces.append(Obstacle{nullptr, glassBox(pSpot->getX(), pSpot->getY()), pSpot->getZOrder() + 1});
    }
}

void SeatLayout::fit(const Tsl::List<Tsl::SmartPtr<CharacterSpot>>& lSeats) const {
    Tsl::List<Rect> lBalloons;
    for (const Tsl::SmartPtr<CharacterSpot>& pSeat : lSeats) {
        pSeat->setGlassRow(glassRow(*pSeat, lSeats));
        placeBalloon(*pSeat, lBalloons);
    }
}

// The topmost scenery under the glass's foot that the glass stands on; null
// on a field without scenery there.
const Sprite* SeatLayout::surfaceUnder(const SeatPlace& place) const {
    const Sprite* pSurface = nullptr;
    int nTop = -1;
    for (const Tsl::SmartPtr<Sprite>& pPicture : m_lScenery) {
        int nHit = pictureHit(pPicture.get(), place.nGlassX, place.nGlassY - 1);
        if (nHit >= 0 && nHit < place.nGlassZ && nHit >= nTop) pSurface = pPicture.get(), nTop = nHit;
    }
    return pSurface;
}

// From the scene's place along the surface, first one way then the other,
// while the glasses keep to the seat's share of the surface.
Tsl::List<int> SeatLayout::glassRow(const CharacterSpot& seat,
                                    const Tsl::List<Tsl::SmartPtr<CharacterSpot>>& lSeats) const {
    SeatPlace place = seat.getPlace();
    const Sprite* pSurface = surfaceUnder(place);
    // Each neighbour's share reaches halfway to it, so that the glasses of
    // two rows never meet.
    int nLeft = m_screen.left + GLASS_HALF_WIDTH, nRight = m_screen.right - GLASS_HALF_WIDTH;
    for (const Tsl::SmartPtr<CharacterSpot>& pOther : lSeats) {
        const SeatPlace& other = pOther->getPlace();
        if (pOther.get() == &seat || std::abs(other.nGlassY - place.nGlassY) >= GLASS_HEIGHT) continue;
        int nMiddle = (other.nGlassX + place.nGlassX) / 2;
        if (other.nGlassX > place.nGlassX) nRight = std::min(nRight, nMiddle - GLASS_HALF_WIDTH);
        if (other.nGlassX < place.nGlassX) nLeft = std::max(nLeft, nMiddle + GLASS_HALF_WIDTH);
    }
    Tsl::List<int> lRow;
    lRow.append(place.nGlassX);
    for (int nStep : {int(GLASS_SPACING), -int(GLASS_SPACING)})
        for (int nX = place.nGlassX + nStep; lRow.getCount() < MAX_ROW && nX >= nLeft && nX <= nRight; nX += nStep) {
            if (!glassFits(nX, place, pSurface)) break;
            lRow.append(nX);
        }
    return lRow;
}

// On the surface with both rows' feet, and clear of everything that stands
// on it or in front of it.
bool SeatLayout::glassFits(int nX, const SeatPlace& place, const Sprite* pSurface) const {
    for (int nRow = 0; pSurface && nRow < ROWS; ++nRow) {
        int nFootY = place.nGlassY - 1 - nRow * ROW_RISE;
        for (int nFootX : {nX - FOOT_HALF_WIDTH, nX + FOOT_HALF_WIDTH})
            if (pictureHit(pSurface, nFootX, nFootY) < 0) return false;
    }
    Rect box = glassBox(nX, place.nGlassY);
    int nSurfaceZ = pSurface ? pSurface->getZOrder() : -1;
    for (const Obstacle& obstacle : m_lOnSurfaces)
        if (obstacle.pPicture != pSurface && obstacle.nZOrder > nSurfaceZ && obstacle.box.overlaps(box)) return false;
    return true;
}

// Over the head if it may; else to its right, the nearest way clear, lower
// only when no place at that height is. The balloon's tail points down to
// the left, at its guest's head from there; moved left, it would point at
// whoever sits on that side, so that is the last resort.
void SeatLayout::placeBalloon(CharacterSpot& seat, Tsl::List<Rect>& lTaken) const {
    const SeatPlace& place = seat.getPlace();
    Rect face = Character::faceBox(place.nX, place.nY);
    for (int nSide : {1, -1})
        for (int nDrop = 0; nDrop <= MAX_BALLOON_DROP; nDrop += BALLOON_STEP)
            for (int nDx = nSide > 0 ? 0 : -BALLOON_STEP; std::abs(nDx) <= MAX_BALLOON_SHIFT;
                 nDx += nSide * BALLOON_STEP) {
                Rect balloon = Character::balloonBox(place.nX + nDx, place.nY - Character::BALLOON_RISE + nDrop);
                if (!balloonFits(balloon, face, lTaken)) continue;
                seat.setBalloonShift(nDx, nDrop);
                lTaken.append(balloon);
                return;
            }
    GameApp::log("SeatLayout: no clear place for the balloon of seat %d\n", seat.getSeat());
    seat.setBalloonShift(0, 0);
    lTaken.append(Character::balloonBox(place.nX, place.nY - Character::BALLOON_RISE));
}

bool SeatLayout::balloonFits(const Rect& balloon, const Rect& face, const Tsl::List<Rect>& lTaken) const {
    if (!m_screen.containsRect(balloon) || balloon.overlaps(face)) return false;
    // Edges that only touch still read as one picture over the other.
    Rect clear(balloon.left - CLEARANCE, balloon.top - CLEARANCE, balloon.right + CLEARANCE,
               balloon.bottom + CLEARANCE);
    for (const Rect& station : m_lStations)
        if (station.overlaps(clear)) return false;
    for (const Rect& other : lTaken)
        if (other.overlaps(clear)) return false;
    return true;
}
