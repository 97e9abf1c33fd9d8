#include "base/sandbackdrop.h"

#include "base/names.h"

#include "app/gameapp.h"
#include "app/gamemode.h"
#include "image/image.h"
#include "sprite/sprite.h"

namespace {

// Every place of the tile over a field of the size; a tile without a size
// is drawn once.
template <class Place>
void tile(Image* pTile, int nWidth, int nHeight, Place place) {
    int nStepX = pTile->getWidth() > 0 ? pTile->getWidth() : nWidth;
    int nStepY = pTile->getHeight() > 0 ? pTile->getHeight() : nHeight;
    for (int nY = 0; nY < nHeight; nY += nStepY)
        for (int nX = 0; nX < nWidth; nX += nStepX) place(nX, nY);
}

}  // namespace

void SandBackdrop::addTo(GameMode* pMode, int nZOrder) {
    GameApp* pApp = GameApp::getInstance();
    Tsl::SmartPtr<Image> pTile = pApp->getImage(Names::IMG_SAND_BACK);
    tile(pTile.get(), pApp->getScreenWidth(), pApp->getScreenHeight(),
         [&](int nX, int nY) { pMode->addSprite(new Sprite(pTile, nX, nY, nZOrder)); });
}

void SandBackdrop::drawOn(Image* pCanvas) {
    Tsl::SmartPtr<Image> pTile = GameApp::getInstance()->getImage(Names::IMG_SAND_BACK);
    tile(pTile.get(), pCanvas->getWidth(), pCanvas->getHeight(),
         [&](int nX, int nY) { pCanvas->copyImage(pTile.get(), nX, nY); });
}
