#pragma once

#include "image/rect.h"
#include "tsl2/refcount.h"
#include "tsl2/str.h"

class GameMode;
class Label;
class Table;

// What she says over her head when she holds out her hand: why the click
// cannot be done. It goes by itself after a moment and never holds the day;
// the next refusal replaces it.
class RefusalNote : public Tsl::RefCountedObject {
public:
    enum { Z_ORDER = 450, WIDTH = 220, GAP = 4 };
    static constexpr float SHOWN_SECONDS = 2.5f;

    RefusalNote();
    ~RefusalNote() override;

    // Centred over the box (her figure), wholly on the screen.
    void show(GameMode* pMode, const Tsl::String& sText, const Rect& above, const Rect& screen);
    void update(float fDt);
    void hide();
    bool isShown() const { return m_pNote != nullptr; }
    // Empty when none is shown.
    Tsl::String getText() const;
    Rect getBounds() const;

private:
    Tsl::SmartPtr<Table> m_pNote;
    Tsl::SmartPtr<Label> m_pText;
    float m_fSecondsLeft;
};
