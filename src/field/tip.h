#pragma once

#include "image/rect.h"
#include "sprite/sprite.h"
#include "tsl2/list.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

class GameMode;
class Table;

// One hint at a time: a framed bubble with the text and, under it, how to
// close it. A click into the bubble closes it (contains, then hide).
class Tip : public Tsl::RefCountedObject {
public:
    enum { Z_ORDER = 400, LINES = 5 };

    Tip();
    ~Tip() override;

    // Replaces a shown bubble.
    void show(GameMode* pMode, const Tsl::String& sText, int nX, int nY, int nWidth);
    void hide();
    bool isHidden() const { return !m_pBubble; }
    bool isShown() const { return m_pBubble != nullptr; }
    // Anywhere on the drawn bubble, its frame included: left and top edges
    // inside, right and bottom edges outside.
    bool contains(int nX, int nY) const;
    // What the shown bubble covers on the screen, its frame included; empty
    // when none is shown.
    Rect getBounds() const;
    // The shown bubble moves so that the top-left corner of its bounds is
    // at (x, y).
    void moveTo(int nX, int nY);
    const SpriteList& getSprites() const { return m_lSprites; }

private:
    Tsl::SmartPtr<Table> m_pBubble;
    GameMode* m_pMode;
    SpriteList m_lSprites;
};
