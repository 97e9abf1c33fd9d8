// A play field record the tests can make and destroy: its seat lists hold
// customers and seat spots, which must be complete types. Where the game
// does not have them yet, empty stand-ins do.
#pragma once

#include "playfield.h"

#if __has_include("character.h") && __has_include("characterspot.h")
#include "character.h"
#include "characterspot.h"
#else
class Character : public Tsl::RefCountedObject {};
class CharacterSpot : public Tsl::RefCountedObject {};
#endif
