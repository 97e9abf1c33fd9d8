// How every timed effect sets its length: the duration with a restart, then
// the clamp, so the elapsed time never passes the end.
#pragma once

#include "sprite/spritecontroller.h"

inline void setTimedDuration(SpriteController& controller, float fDuration) {
    controller.getTimer()->setDuration(fDuration, true);
    controller.getTimer()->setFlags(Timer::CLAMP);
}
