// What a scripted player recognises on the game's screens and the clicks it
// makes there, shared by the players: texts found by their string keys, the
// menu, the map waiting for a choice, tips and story pages passed by.
#pragma once

#include "eyes.h"
#include "hands.h"

#include <string>

namespace e2e {

// The text of a string key in the game's tables.
std::string text(const char* pszKey);
// A text by its string key; a key the tables lack shows as itself.
const Seen* findText(const Sight& sight, const char* pszKey);
bool shows(const Sight& sight, const char* pszKey);

// A click on a point of the picture where it is on top; false, with the
// reason given to refuse(), when it is missing or covered.
bool click(const Sight& sight, Hands& hands, const Seen* pSeen, const std::string& sWhat);
bool clickText(const Sight& sight, Hands& hands, const char* pszKey);
bool clickPicture(const Sight& sight, Hands& hands, const char* pszName);

bool tipOpen(const Sight& sight);
// A tip bubble closes when it is clicked; a person reads it and does.
bool closeTip(const Sight& sight, Hands& hands);
// Story pages go by with Escape; tips on the map close with a click.
bool passPagesAndTips(const Sight& sight, Hands& hands);

// The menu on top, no dialog over it.
bool menuShown(const Sight& sight);
// The map waits for the player once the marker stands and a flower's
// petals have flown; the Steady remembers the looks before.
bool mapWaiting(const Sight& sight, Steady& still);
// The field's pictures under the week's goal, before any guest came.
bool weekGoalShown(const Sight& sight);
// A story day's results count the day's money, a timed game's the total.
bool resultsShown(const Sight& sight);

}  // namespace e2e
