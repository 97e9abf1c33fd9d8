#pragma once

#include "ui/dialogmode.h"
#include "ui/editbox.h"

#include "tsl2/list.h"
#include "tsl2/str.h"

class Button;
class Label;
class ProfileData;
class ProfileManager;
class ToggleButton;

// Lists the profiles; the chosen one becomes the current player
// ("CurrentPlayerName"). New and Delete open their dialogs above it; the
// list is built again whenever it comes back to the top.
class SelectProfileDialog : public DialogMode {
public:
    enum { ID_OK = 1, ID_NEW, ID_DELETE, ID_CANCEL, ID_FIRST_NAME = 100 };

    SelectProfileDialog(ProfileManager* pManager, int nUnused = 0);
    ~SelectProfileDialog() override;

    void onActivate() override;
    void onCallback(int nId, int nData) override;
    // Escape cancels, Enter chooses the selected profile.
    bool onKeyDown(int nKey, int nModifiers) override;

    const Tsl::String& getSelectedName() const { return m_sSelected; }

private:
    void build();
    void addNameRows();
    void addButtonRow();
    void select(const Tsl::String& sName);
    void choose();

    ProfileManager* m_pManager;
    Tsl::String m_sSelected;
    Tsl::String m_sCurrentSeen;
    Tsl::List<Tsl::SmartPtr<ToggleButton>> m_lNames;
};

// Asks for a new profile's name. A refused name (empty, taken, too long,
// with control characters, or a full list) is told in the dialog; an
// accepted one becomes the current player and everything is saved.
class CreateProfileDialog : public DialogMode {
public:
    enum { ID_NAME = 1, ID_OK, ID_CANCEL };

    CreateProfileDialog(ProfileManager* pManager, int nUnused = 0);
    ~CreateProfileDialog() override;

    // No Cancel button and no Escape: a profile must be made.
    void disableCancel();
    bool isCancelEnabled() const { return m_bCancelEnabled; }

    void init() override;
    void onCallback(int nId, int nData) override;
    bool onKeyDown(int nKey, int nModifiers) override;
    // The message of a refused name goes once the name is edited.
    void onUpdate(float fDt) override;

    Tsl::SmartPtr<EditBox> getEditBox() const { return m_pEdit; }
    // The message of the last refused name; empty when none.
    Tsl::String getMessage() const;

private:
    void accept();

    ProfileManager* m_pManager;
    bool m_bCancelEnabled;
    Tsl::SmartPtr<EditBox> m_pEdit;
    Tsl::SmartPtr<Label> m_pMessage;
    Tsl::SmartPtr<Table> m_pButtons;
    Tsl::SmartPtr<Button> m_pCancel;
    // The name the message is about.
    Tsl::String m_sRefusedName;
};

// "Delete this profile?": yes deletes it and, when it was the current
// player, makes another profile current; the profiles and settings are saved.
class DeleteProfileDialog : public CommonDialog {
public:
    enum { ID_NO = 0, ID_YES = 1 };

    DeleteProfileDialog(ProfileManager* pManager, const Tsl::String& sName);
    ~DeleteProfileDialog() override;

    void onCallback(int nId, int nData) override;
    bool onKeyDown(int nKey, int nModifiers) override;

private:
    ProfileManager* m_pManager;
    Tsl::String m_sName;
};

// What the main menu does about profiles each time it comes back: the
// current player must name a profile; without any profile the creation
// dialog (no Cancel) is pushed.
class MainMenuProfileManager {
public:
    explicit MainMenuProfileManager(ProfileManager* pManager);

    // The current player's profile after the repair; null when the creation
    // dialog was pushed instead (the menu activates again once it closes).
    ProfileData* ensureCurrentProfile();

private:
    ProfileManager* m_pManager;
};
