#pragma once

class GameMode;
class Image;

// The sand that the full screens stand on: its tile repeated over the whole
// screen on a grid of the tile's own size.
class SandBackdrop {
public:
    // As sprites of the mode, behind what it draws at higher z-orders.
    static void addTo(GameMode* pMode, int nZOrder);
    // Copied over a picture, for a screen drawn as one picture.
    static void drawOn(Image* pCanvas);
};
