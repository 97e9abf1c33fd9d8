#pragma once

#include "player/qarnplayer.h"
#include "screens/profilemanager.h"

typedef ProfileManagerImpl<QarnPlayer> PlayerManager;

// The game's profile manager, made and loaded from the settings on first use.
PlayerManager* getPlayerManager();
// The manager when it is made, else null: what has nothing to save.
PlayerManager* findPlayerManager();
// Deletes it; the next getPlayerManager loads again.
void destroyPlayerManager();
