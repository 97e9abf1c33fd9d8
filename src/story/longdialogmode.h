#pragma once

#include "ui/dialogmode.h"

#include "tsl2/refcount.h"

class ParticleEmitter;

// The congratulations for a finished story that entered the high scores:
// a picture, a text and an OK button while flowers burst every frame.
class LongDialogMode : public DialogMode {
public:
    enum { FLOWER_KINDS = 5, BURST_LEFT = 200, BURST_WIDTH = 400, BURST_Y = 300 };

    // The title is kept for the caller and not shown.
    LongDialogMode(Tsl::String sText, Tsl::String sTitle, int nButtonId);
    ~LongDialogMode() override;

    void onCallback(int nId, int nData) override;
    void init() override;
    void onUpdate(float fDt) override;
    // A release anywhere on the dialog goes no further.
    bool onMouseUp(int nButton, int nX, int nY) override;

    // One burst of flowers from a random point of the lower half.
    void fireFlowers();

private:
    // The cannon of one flower kind, made at its first burst.
    ParticleEmitter* cannonOf(int nFlower);

    Tsl::String m_sText;
    Tsl::String m_sTitle;
    int m_nButtonId;
    // A burst comes every frame: each kind's centred picture and loaded emitter
    // are made once and fire again and again.
    Tsl::SmartPtr<ParticleEmitter> m_apCannons[FLOWER_KINDS];
};
