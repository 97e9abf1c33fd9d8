#pragma once

#include "player/qarnplayer.h"
#include "screens/profilemanager.h"

typedef ProfileManagerImpl<QarnPlayer> PlayerManager;

// The game's profile manager, made and loaded from the settings on first use.
PlayerManager* getPlayerManager();
// Deletes it; the next getPlayerManager loads again.
void destroyPlayerManager();
