#include "qarnexitconfirm.h"

#include "playermanager.h"

QarnExitConfirmMode::QarnExitConfirmMode() {}

void QarnExitConfirmMode::onConfirmed() {
    getPlayerManager()->saveProfiles();
    ExitConfirmMode::onConfirmed();
}
