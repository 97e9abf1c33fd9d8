#include "game/qarnexitconfirm.h"

#include "player/playermanager.h"

QarnExitConfirmMode::QarnExitConfirmMode() {}

void QarnExitConfirmMode::onConfirmed() {
    getPlayerManager()->saveProfiles();
    ExitConfirmMode::onConfirmed();
}
