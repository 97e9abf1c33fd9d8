#include "eyes.h"

#include "harness.h"

#include "app/gameapp.h"
#include "app/gamemode.h"
#include "image/geometry.h"
#include "ui/button.h"
#include "ui/label.h"
#include "ui/styles.h"
#include "ui/theme.h"

#include <cctype>
#include <cstdio>

namespace e2e {

namespace {

const float FAINT = 0.5f;
const int GRID = 8;

std::string lowerCase(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// A button of a theme style draws the style's picture stretched to its size.
std::string pictureOf(Sprite* pSprite) {
    std::string sName = pSprite->getImage()->getName().c_str();
    const Button* pButton = dynamic_cast<const Button*>(pSprite);
    if (!sName.empty() || !pButton || !app()->getTheme()) return sName;
    Tsl::SmartPtr<ButtonStyle> pStyle = app()->getTheme()->getButtonStyle(pButton->getStyle().c_str());
    Image* pFace = pStyle ? pStyle->apImages[ButtonStyle::NORMAL].get() : nullptr;
    return pFace ? pFace->getName().c_str() : "";
}

std::string textOf(Sprite* pSprite) {
    if (const Label* pLabel = dynamic_cast<const Label*>(pSprite)) return pLabel->getText().c_str();
    if (const Button* pButton = dynamic_cast<const Button*>(pSprite)) return pButton->getText().c_str();
    return std::string();
}

}  // namespace

std::string namePrefix(const char* pszFormat) {
    std::string s = pszFormat;
    return s.substr(0, s.find('%'));
}

bool Seen::isNamed(const std::string& sName) const { return sPicture == lowerCase(sName); }

bool Seen::isNamedLike(const std::string& sPrefix) const {
    return sPicture.compare(0, sPrefix.size(), lowerCase(sPrefix)) == 0;
}

bool Seen::showsAt(int nX, int nY) const {
    return box.contains(nX, nY) && m_pSprite->hitTestPixels(Point(float(nX), float(nY)), 0);
}

// The video driver's own walk: from the lowest mode drawn up to the top,
// each mode's layers in order.
Sight Sight::look() {
    Sight sight;
    GameApp* pApp = app();
    if (!pApp) return sight;
    int nOrder = 0;
    for (int i = pApp->getLowestDrawnModeIndex(); i >= 0; --i) {
        Tsl::SmartPtr<GameMode> pMode = pApp->getModeAt(i);
        if (pMode.isNull() || !pMode->isActive() || !pMode->isVisible()) continue;
        for (SpriteList* pLayer : pMode->getLayers()) {
            for (const Tsl::SmartPtr<Sprite>& pSprite : *pLayer) {
                if (!pSprite->isVisible() || pSprite->getDrawImage().isNull()) continue;
                ++nOrder;
                if (pSprite->getAlpha() < FAINT) continue;
                Seen seen;
                seen.box = pSprite->getScreenPixelRect();
                if (seen.box.isEmpty()) continue;
                seen.sPicture = lowerCase(pictureOf(pSprite.get()));
                seen.sText = textOf(pSprite.get());
                const Control* pControl = dynamic_cast<const Control*>(pSprite.get());
                seen.bDisabled = pControl && !pControl->isEnabled();
                seen.nZOrder = pSprite->getZOrder();
                seen.nOrder = nOrder;
                seen.nScreen = i;
                seen.fAlpha = pSprite->getAlpha();
                seen.m_pSprite = pSprite;
                sight.m_lSeen.push_back(seen);
            }
        }
    }
    return sight;
}

const Seen* Sight::find(const std::string& sPicture) const {
    for (const Seen& seen : m_lSeen)
        if (seen.isNamed(sPicture)) return &seen;
    return nullptr;
}

std::vector<const Seen*> Sight::findAll(const std::string& sPicture) const {
    std::vector<const Seen*> lFound;
    for (const Seen& seen : m_lSeen)
        if (seen.isNamed(sPicture)) lFound.push_back(&seen);
    return lFound;
}

std::vector<const Seen*> Sight::findLike(const std::string& sPrefix) const {
    std::vector<const Seen*> lFound;
    for (const Seen& seen : m_lSeen)
        if (seen.isNamedLike(sPrefix)) lFound.push_back(&seen);
    return lFound;
}

const Seen* Sight::findText(const std::string& sText) const {
    for (const Seen& seen : m_lSeen)
        if (!seen.sText.empty() && seen.sText == sText) return &seen;
    return nullptr;
}

const Seen* Sight::findTextWith(const std::string& sPart) const {
    for (const Seen& seen : m_lSeen)
        if (!seen.sText.empty() && seen.sText.find(sPart) != std::string::npos) return &seen;
    return nullptr;
}

const Seen* Sight::textBeside(const std::string& sCaption) const {
    const Seen* pCaption = findText(sCaption);
    if (!pCaption) return nullptr;
    const Seen* pBest = nullptr;
    for (const Seen& seen : m_lSeen) {
        if (seen.sText.empty() || seen.box.left < pCaption->box.right) continue;
        if (seen.box.bottom <= pCaption->centreY() || seen.box.top > pCaption->centreY()) continue;
        if (!pBest || seen.box.left < pBest->box.left) pBest = &seen;
    }
    return pBest;
}

const Seen* Sight::topAt(int nX, int nY) const {
    for (auto it = m_lSeen.rbegin(); it != m_lSeen.rend(); ++it)
        if (it->showsAt(nX, nY)) return &*it;
    return nullptr;
}

bool Sight::pointOn(const Seen& seen, int& nX, int& nY) const {
    auto onTop = [&](int x, int y) {
        const Seen* pTop = topAt(x, y);
        return pTop && pTop->nOrder == seen.nOrder;
    };
    if (onTop(seen.centreX(), seen.centreY())) {
        nX = seen.centreX();
        nY = seen.centreY();
        return true;
    }
    for (int j = 1; j < GRID; ++j) {
        for (int i = 1; i < GRID; ++i) {
            int x = seen.box.left + seen.box.getWidth() * i / GRID;
            int y = seen.box.top + seen.box.getHeight() * j / GRID;
            if (!onTop(x, y)) continue;
            nX = x;
            nY = y;
            return true;
        }
    }
    return false;
}

Rect Sight::solidBox(const Seen& seen, int nStep) const {
    Rect solid;
    bool bAny = false;
    for (int y = seen.box.top; y < seen.box.bottom; y += nStep) {
        for (int x = seen.box.left; x < seen.box.right; x += nStep) {
            if (!seen.showsAt(x, y)) continue;
            Rect cell(x, y, x + 1, y + 1);
            solid = bAny ? solid.unite(cell) : cell;
            bAny = true;
        }
    }
    return solid;
}

bool Steady::check(const std::vector<const Seen*>& lPictures) {
    std::string sNow;
    for (const Seen* pSeen : lPictures)
        sNow += pSeen->sPicture + "|" + pSeen->sText + "@" + std::to_string(pSeen->box.left) + "," +
                std::to_string(pSeen->box.top) + ";";
    m_nSame = sNow == m_sLast ? m_nSame + 1 : 0;
    m_sLast = sNow;
    return m_nSame >= LOOKS;
}

std::string Sight::describe() const {
    std::string sOut;
    char szLine[512];
    // Tiles of one picture in a row take one line.
    for (size_t i = 0; i < m_lSeen.size();) {
        const Seen& seen = m_lSeen[i];
        size_t nSame = 1;
        while (i + nSame < m_lSeen.size() && seen.sText.empty() && !seen.sPicture.empty() &&
               m_lSeen[i + nSame].sPicture == seen.sPicture && m_lSeen[i + nSame].nZOrder == seen.nZOrder)
            ++nSame;
        std::snprintf(szLine, sizeof(szLine), "  [%d] %-28s z%-6d (%d,%d)-(%d,%d)%s%s%s%s%s\n", seen.nScreen,
                      seen.sPicture.empty() ? "-" : seen.sPicture.c_str(), seen.nZOrder, seen.box.left, seen.box.top,
                      seen.box.right, seen.box.bottom,
                      nSame > 1 ? (" and " + std::to_string(nSame - 1) + " more").c_str() : "",
                      seen.sText.empty() ? "" : " \"", seen.sText.c_str(), seen.sText.empty() ? "" : "\"",
                      seen.bDisabled ? " (greyed)" : "");
        sOut += szLine;
        i += nSame;
    }
    return sOut;
}

}  // namespace e2e
