// What a theme holds, by lower-cased name: shared by the file reader and the
// built-in defaults.
#pragma once

#include "ui/theme.h"

#include "tsl2/hash.h"

struct Theme::Tables {
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<Font>> hFonts;
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<FrameStyle>> hFrames;
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<ButtonStyle>> hButtons;
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<CursorStyle>> hCursors;
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<SeparatorStyle>> hSeparators;
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<SliderStyle>> hSliders;
    Tsl::Hash<Tsl::String, Tsl::SmartPtr<RadioStyle>> hRadios;
};
