// A mode that stands between two screens (a fade, say): it runs over the
// old screen and, when it is finished, ends itself and pushes its target.
#pragma once

#include "app/gamemode.h"

class ModeTransition : public GameMode {
public:
    explicit ModeTransition(Tsl::SmartPtr<GameMode> pTarget = nullptr, unsigned int nFlags = MF_ACTIVE | MF_VISIBLE | MF_DRAW_BELOW);
    ~ModeTransition() override;

    void setTarget(Tsl::SmartPtr<GameMode> pTarget) { m_pTarget = pTarget; }
    Tsl::SmartPtr<GameMode> getTarget() const { return m_pTarget; }

protected:
    // Ends this mode and pushes the target. The mode uncovered for that
    // instant neither gains nor loses the focus; the target gains it.
    void finishTransition();

private:
    Tsl::SmartPtr<GameMode> m_pTarget;
};

// Darkens the screen to black (2.0 alpha per second) over the mode below,
// then hands over to its target.
class TrnFadeToBlack : public ModeTransition {
public:
    enum { FADE_Z_ORDER = 1000 };
    TrnFadeToBlack();

    void init() override;
    void onUpdate(float fDt) override;
    float getAlpha() const { return m_fAlpha; }

private:
    float m_fAlpha;
    Tsl::SmartPtr<Sprite> m_pShade;
};
