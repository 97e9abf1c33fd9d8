#pragma once

#include "field/scene.h"
#include "rules/upgrademanager.h"

#include "anim/animation.h"
#include "image/image.h"
#include "sprite/sprite.h"

#include "tsl2/error.h"
#include "tsl2/hash.h"
#include "tsl2/list.h"
#include "tsl2/str.h"

// Turns a scene's picture lines into sprites in the file's order: the
// pictures and animations it declares (private copies, so that mirroring
// and insertion points never touch the cached ones), the sprites and the
// figures, and what later lines change of named sprites. A place that an
// upgrade furnishes is built only while the levels furnish it. The play
// field and the purchase preview each take the sprites in their own way.
class SceneBuilder {
public:
    virtual ~SceneBuilder();

protected:
    // Every z-order read from a line is raised by nRaise.
    SceneBuilder(const UpgradeLevels& anLevels, int nRaise);

    void build(const SceneData& scene);

    // Whether the line's place is built: while its slot is furnished.
    virtual bool isBuilt(const SceneVisual& line) const;
    // The sprites one line built: one picture or animation, or a figure's parts.
    virtual void placed(const SceneVisual& line, const Tsl::List<Tsl::SmartPtr<Sprite>>& lSprites) = 0;
    // The lines a builder draws in its own way: gulls, emitters, the
    // pictures of spots. Nothing by default.
    virtual void placeOther(const SceneVisual& line);
    // A line whose pictures cannot be had: the fault goes on, naming the
    // file and the line, unless the builder can do without the line.
    virtual void lineFailed(const SceneVisual& line, Tsl::Exception& e);

    const UpgradeLevels& getLevels() const { return m_anLevels; }
    const Tsl::String& getFile() const { return m_sFile; }
    const Tsl::Hash<Tsl::String, Tsl::SmartPtr<Sprite>>& getNamed() const { return m_hNamed; }
    int raised(int nZOrder) const { return nZOrder + m_nRaise; }
    // How a line of the kind furnishes its slot's place.
    static UpgradeManager::SlotUse useOf(SceneVisual::Kind eKind);

private:
    void buildLine(const SceneVisual& line);
    void declare(const SceneVisual& line);
    void placePicture(const SceneVisual& line);
    void placeFigure(const SceneVisual& line);
    void change(const SceneVisual& line);
    Tsl::SmartPtr<Image> image(const Tsl::String& sName) const;
    Tsl::SmartPtr<Animation> animation(const Tsl::String& sName) const;

    UpgradeLevels m_anLevels;
    int m_nRaise;
    Tsl::String m_sFile;
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<Image>> m_hImages{97};
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<Animation>> m_hAnimations{97};
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<Sprite>> m_hNamed{97};
};
