#pragma once

#include "screens/miscdialogs.h"

// The game's exit confirmation: before quitting it keeps the players'
// profiles in the settings, which the exit hook then writes.
class QarnExitConfirmMode : public ExitConfirmMode {
public:
    QarnExitConfirmMode();

protected:
    void onConfirmed() override;
};
