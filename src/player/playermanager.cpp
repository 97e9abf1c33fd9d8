#include "player/playermanager.h"

namespace {
PlayerManager* s_pPlayerManager = nullptr;
}

PlayerManager* getPlayerManager() {
    if (!s_pPlayerManager) {
        s_pPlayerManager = new PlayerManager();
        s_pPlayerManager->loadProfiles();
    }
    return s_pPlayerManager;
}

PlayerManager* findPlayerManager() { return s_pPlayerManager; }

void destroyPlayerManager() {
    delete s_pPlayerManager;
    s_pPlayerManager = nullptr;
}
