#include "field/scenebuilder.h"

#include "field/ambience.h"
#include "base/names.h"

#include "anim/animsprite.h"
#include "app/gameapp.h"

SceneBuilder::SceneBuilder(const UpgradeLevels& anLevels, int nRaise) : m_anLevels(anLevels), m_nRaise(nRaise) {}

SceneBuilder::~SceneBuilder() {}

UpgradeManager::SlotUse SceneBuilder::useOf(SceneVisual::Kind eKind) {
    switch (eKind) {
        case SceneVisual::SPRITE_CONDITIONAL: return UpgradeManager::USE_PICTURE;
        case SceneVisual::ANIMSPRITE_CONDITIONAL: return UpgradeManager::USE_ANIMATION;
        case SceneVisual::SPOT_CONDITIONAL: return UpgradeManager::USE_SPOT;
        default: return UpgradeManager::USE_FIGURE;
    }
}

bool SceneBuilder::isBuilt(const SceneVisual& line) const {
    return UpgradeManager::isFurnished(line.m_sSlot, useOf(line.m_eKind), m_anLevels);
}

void SceneBuilder::placeOther(const SceneVisual&) {}

void SceneBuilder::lineFailed(const SceneVisual& line, Tsl::Exception& e) {
    e.appendToMessage(Tsl::String::format(" (%s, line %d)", m_sFile.c_str(), line.m_nLine));
    throw;
}

void SceneBuilder::build(const SceneData& scene) {
    TSL_TRACE();
    m_sFile = scene.m_sFile;
    for (const SceneVisual& line : scene.m_lVisuals) {
        try {
            buildLine(line);
        } catch (Tsl::Exception& e) {
            lineFailed(line, e);
        }
    }
}

void SceneBuilder::buildLine(const SceneVisual& line) {
    if (!line.m_sSlot.isEmpty() && !isBuilt(line)) return;
    switch (line.m_eKind) {
        case SceneVisual::IMAGE:
        case SceneVisual::ANIMATION:
        case SceneVisual::CLONE:
        case SceneVisual::HFLIP:
        case SceneVisual::INSPOS: declare(line); return;
        case SceneVisual::SPRITE:
        case SceneVisual::SPRITE_REPEAT:
        case SceneVisual::ANIMSPRITE:
        case SceneVisual::SPRITE_CONDITIONAL:
        case SceneVisual::ANIMSPRITE_CONDITIONAL: placePicture(line); return;
        case SceneVisual::BARMAN:
        case SceneVisual::BONGOS:
        case SceneVisual::BAILARINA:
        case SceneVisual::PARROT: placeFigure(line); return;
        case SceneVisual::FLIP:
        case SceneVisual::SCALE:
        case SceneVisual::PLAY: change(line); return;
        default: placeOther(line); return;
    }
}

Tsl::SmartPtr<Image> SceneBuilder::image(const Tsl::String& sName) const {
    return m_hImages.hasKey(sName) ? m_hImages.get(sName) : Tsl::SmartPtr<Image>();
}

Tsl::SmartPtr<Animation> SceneBuilder::animation(const Tsl::String& sName) const {
    return m_hAnimations.hasKey(sName) ? m_hAnimations.get(sName) : Tsl::SmartPtr<Animation>();
}

// A name never declared stands for no picture: its sprites are built bare,
// and what would change it changes nothing.
void SceneBuilder::declare(const SceneVisual& line) {
    GameApp* pApp = GameApp::getInstance();
    Tsl::SmartPtr<Image> pImage = image(line.m_sResource);
    switch (line.m_eKind) {
        case SceneVisual::IMAGE: m_hImages.set(line.m_sResource, pApp->getImage(line.m_sResource)->clone(false)); return;
        case SceneVisual::ANIMATION: m_hAnimations.set(line.m_sResource, pApp->getAnimation(line.m_sResource)); return;
        case SceneVisual::CLONE:
            if (pImage) m_hImages.set(line.m_sName, pImage->clone(false));
            return;
        case SceneVisual::HFLIP:
            if (pImage) pImage->flipHorizontal();
            return;
        default: break;
    }
    if (!pImage) return;
    auto at = [](SceneVisual::Anchor eAnchor, int nNumber, int nSize) {
        return eAnchor == SceneVisual::AT_CENTER ? nSize / 2 : eAnchor == SceneVisual::AT_END ? nSize : nNumber;
    };
    pImage->setInsPoint(at(line.m_eAnchorX, line.m_nX, pImage->getWidth()),
                        at(line.m_eAnchorY, line.m_nY, pImage->getHeight()));
}

void SceneBuilder::placePicture(const SceneVisual& line) {
    bool bAnimated = line.m_eKind == SceneVisual::ANIMSPRITE || line.m_eKind == SceneVisual::ANIMSPRITE_CONDITIONAL;
    int nCopies = line.m_eKind == SceneVisual::SPRITE_REPEAT ? line.m_nCount : 1;
    for (int i = 0; i < nCopies; ++i) {
        int nX = line.m_nX + i * line.m_nStep;
        Tsl::SmartPtr<Sprite> pSprite;
        if (bAnimated)
            pSprite = new AnimSprite(animation(line.m_sResource), nX, line.m_nY, raised(line.m_nZ));
        else
            pSprite = new Sprite(image(line.m_sResource), nX, line.m_nY, raised(line.m_nZ));
        Tsl::List<Tsl::SmartPtr<Sprite>> lSprites;
        lSprites.append(pSprite);
        placed(line, lSprites);
        // A row's name stands for its first copy.
        if (i == 0 && !line.m_sName.isEmpty()) m_hNamed.set(line.m_sName, pSprite);
    }
}

void SceneBuilder::placeFigure(const SceneVisual& line) {
    GameApp* pApp = GameApp::getInstance();
    int nZOrder = raised(line.m_nZ);
    Tsl::List<Tsl::SmartPtr<AnimSprite>> lParts;
    if (line.m_eKind == SceneVisual::BARMAN) {
        lParts = Barman(line.m_nX, line.m_nY, nZOrder, line.m_nVariant, nullptr).getSprites();
    } else if (line.m_eKind == SceneVisual::BONGOS) {
        lParts = MisterBongos(nullptr, line.m_nX, line.m_nY, nZOrder, line.m_sWord).getSprites();
    } else if (line.m_eKind == SceneVisual::PARROT) {
        lParts = Parrot(nullptr, line.m_nX, line.m_nY, nZOrder).getSprites();
    } else if (pApp->hasResource(Names::BAILARINA_TEMPLATE)) {
        Tsl::List<Tsl::String> lParams;
        lParams.append(line.m_sWord);
        Tsl::String sKey = Tsl::String(Names::BAILARINA_KEY) + line.m_sWord;
        lParts.append(new DancingGirl(pApp->getAnimation(Names::BAILARINA_TEMPLATE, sKey, lParams), line.m_nX,
                                      line.m_nY, line.m_bFlip ? 1 : 0, line.m_nVariant, nZOrder));
    }
    if (lParts.isEmpty()) return;
    Tsl::List<Tsl::SmartPtr<Sprite>> lSprites;
    for (const Tsl::SmartPtr<AnimSprite>& pPart : lParts) lSprites.append(pPart.get());
    placed(line, lSprites);
}

// A sprite its place did not get at these levels is not there to change.
void SceneBuilder::change(const SceneVisual& line) {
    if (!m_hNamed.hasKey(line.m_sName)) return;
    Tsl::SmartPtr<Sprite> pSprite = m_hNamed.get(line.m_sName);
    if (line.m_eKind == SceneVisual::FLIP) {
        pSprite->setScale(-1.0f, 1.0f);
    } else if (line.m_eKind == SceneVisual::SCALE) {
        pSprite->setScale(line.m_fScaleX, line.m_fScaleY);
    } else if (AnimSprite* pAnimated = dynamic_cast<AnimSprite*>(pSprite.get())) {
        pAnimated->play(line.m_sWord, 0.0f, -1);
    }
}
