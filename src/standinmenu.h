#pragma once

#include "qarnmode.h"

class Label;

// Holds the main menu's place under the splash until the menu exists: it
// makes sure a player profile exists, greets the current player and opens
// the profile dialogs, the options and the exit confirmation.
class StandInMenu : public QarnMode {
public:
    enum { ID_CHANGE_PLAYER = 1, ID_OPTIONS, ID_QUIT };

    StandInMenu();
    ~StandInMenu() override;

    void init() override;
    void onActivate() override;
    void cleanup() override;
    void onCallback(int nId, int nData) override;
    bool onKeyDown(int nKey, int nModifiers) override;

    Tsl::String getGreeting() const;

private:
    void addButton(const char* pszKey, int nId, int nY);

    Tsl::SmartPtr<Label> m_pGreeting;
};
