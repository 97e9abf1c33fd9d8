#pragma once

#include "ui/dialogmode.h"

class Button;
class HSlider;
class ToggleButton;

// The standard options dialog: sound and music volumes, full screen or
// windowed, colour depth and a title, as the mask of shown options says.
// Each row writes its setting as it changes. Opened from a level (with a
// mode to notify) it also offers to leave the level; on closing it tells
// that mode the close id, on leaving the leave id.
class GameOptionsDialog : public DialogMode {
public:
    enum { OPT_FULLSCREEN = 1, OPT_COLOR_DEPTH = 2, OPT_VOLUMES = 4, OPT_TITLE = 8, DEFAULT_OPTIONS = 13 };
    // The ids of the standard rows and buttons; a subclass keeps clear of them.
    enum {
        ID_OK = 100,
        ID_LEAVE,
        ID_FULLSCREEN,
        ID_WINDOWED,
        ID_DEPTH_16,
        ID_DEPTH_32,
        ID_SOUND_VOLUME,
        ID_MUSIC_VOLUME
    };
    enum { SLIDER_WIDTH = 200, VOLUME_MAX = 255 };

    GameOptionsDialog(GameMode* pNotify, int nCloseId, int nLeaveId);
    ~GameOptionsDialog() override;

    void setShownOptions(int nMask) { m_nShownOptions = nMask; }
    int getShownOptions() const { return m_nShownOptions; }
    GameMode* getNotifyMode() const { return m_pNotify; }

    // Builds the rows the mask asks for and the buttons; a subclass adds its
    // own rows after it.
    void init() override;
    // The standard rows and buttons by id; other ids are left alone.
    void onCallback(int nId, int nData) override;
    // Escape closes the dialog as its OK button does.
    bool onKeyDown(int nKey, int nModifiers) override;

    Tsl::SmartPtr<Table> getOptionsTable() const { return m_pOptions; }
    Tsl::SmartPtr<Table> getButtonsTable() const { return m_pButtons; }

protected:
    // Ends the dialog, then tells the mode to notify the id (once).
    void close(int nNotifyId);

private:
    void buildTitle();
    void buildVolumeRows();
    void buildScreenRow();
    void buildDepthRow();
    void buildButtons();
    Tsl::SmartPtr<HSlider> addVolumeRow(const char* pszLabelKey, int nId, int nValue);
    Tsl::SmartPtr<ToggleButton> addToggle(Tsl::SmartPtr<Table> pRow, const char* pszKey, int nId, bool bToggled);
    Tsl::SmartPtr<Button> addButton(const char* pszKey, int nId);
    void chooseScreen(bool bFullScreen);
    void chooseDepth(int nBpp);
    void storeVolumes();

    GameMode* m_pNotify;
    int m_nCloseId;
    int m_nLeaveId;
    int m_nShownOptions;
    bool m_bClosed;
    Tsl::SmartPtr<Table> m_pOptions;
    Tsl::SmartPtr<Table> m_pButtons;
    Tsl::SmartPtr<HSlider> m_pSoundSlider;
    Tsl::SmartPtr<HSlider> m_pMusicSlider;
    Tsl::SmartPtr<ToggleButton> m_pFullScreen;
    Tsl::SmartPtr<ToggleButton> m_pWindowed;
    Tsl::SmartPtr<ToggleButton> m_pDepth16;
    Tsl::SmartPtr<ToggleButton> m_pDepth32;
};
