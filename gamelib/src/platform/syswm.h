// SDL's window-manager header brings in Xlib, whose "Font" type would clash
// with the game library's Font class: Xlib's is renamed while it is read.
#pragma once

#define Font XlibFont
#include <SDL_syswm.h>
#undef Font
