// Fields built in the test for the player's eyes: plain blocks named like
// the game's pictures, at their places and depths, in a mode on top.
#pragma once

#include "game_support.h"
#include "base/names.h"

#include "image/sdl_image.h"

#include <gtest/gtest.h>

#include <SDL.h>

#include <string>
#include <vector>

class Block : public SDLImage {
public:
    Block(const std::string& sName, int nWidth, int nHeight) : SDLImage(nWidth, nHeight, true, true) {
        setName(sName.c_str());
        fill(Color(90, 160, 200, 255));
    }
};

// One picture of a field: its name, top-left corner, size and z-order.
struct Piece {
    std::string sName;
    int nX, nY, nWidth, nHeight, nZ;
};

struct FieldTest : GameTest {
    void SetUp() override {
        GameTest::SetUp();
        ASSERT_EQ(0, SDL_InitSubSystem(SDL_INIT_VIDEO));
        ASSERT_NE(nullptr, SDL_SetVideoMode(800, 600, 32, SDL_SWSURFACE));
        addStrings(std::string(Names::STR_TIP_CLOSE) + " Click the bubble to close it.\n");
    }
    void TearDown() override { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

    Tsl::SmartPtr<GameMode> field(const std::vector<std::vector<Piece>>& lGroups) {
        Tsl::SmartPtr<GameMode> pField = new GameMode();
        app.pushMode(pField);
        for (const std::vector<Piece>& lPieces : lGroups)
            for (const Piece& piece : lPieces)
                pField->addSprite(
                    new Sprite(new Block(piece.sName, piece.nWidth, piece.nHeight), piece.nX, piece.nY, piece.nZ));
        return pField;
    }
};
