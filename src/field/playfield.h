#pragma once

#include "tsl2/list.h"
#include "tsl2/refcount.h"

class Character;
class CharacterSpot;

// The play screen's state record, read by the spawn manager, the waitress,
// the week-goal dialog and the results dialog.
struct PlayField {
    int m_nTopY = 0;      // "topy"
    int m_nBottomY = 0;   // "bottomy"
    Tsl::List<Tsl::SmartPtr<Character>> m_lSeatOccupants;  // one per seat; null = free
    Tsl::List<Tsl::SmartPtr<CharacterSpot>> m_lSeatSpots;  // one per seat
    Tsl::List<int> m_lSeatKinds;  // 0 the scene's own seats, 1 or 2 added by upgrades
    int m_nFirstVipSeat = 0;      // equal to the ordinary seat count
    Tsl::List<int> m_lVipSides;   // by seat minus the first VIP seat
    float m_fMinSpawnDelay = 0.0f;
    float m_fMaxSpawnDelay = 0.0f;
    int m_nCustomersToCome = -1;  // negative: no limit
    int m_nStage = 0;             // 0-4
    int m_nMoneyGoal = 0;
    int m_nLevelCustomers = 0;
    int m_nPlayMode = 0;          // 0 a story level with a goal; 1, 2 timed
    float m_fSecondsPlayed = 0.0f;
    int m_nMoney = 0;             // the level's
    int m_nStars = 0;             // the level's
    int m_nCustomersServed = 0;
    int m_nPrevTotalMoney = 0;    // the story's purse when the level began
    int m_nMoneyResult = 0;       // written by the results dialog when its counting ends
    int m_nStarsResult = 0;
    int m_nLevelsWon = 0;         // of the story, when the level began
    int m_nTotalScore = 0;        // of the story, when the level began
};
