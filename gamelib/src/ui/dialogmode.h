// Dialogs: modes that lay their widgets out in a Table centred on the
// screen over a shade. CommonDialog adds a text and a row of buttons that
// end the dialog and report the chosen id; DlgYesNo and DlgMessage are its
// two usual forms.
#pragma once

#include "app/gamemode.h"
#include "ui/uitable.h"

#include "tsl2/list.h"

class Label;
class Button;

class DialogMode : public GameMode {
public:
    enum { DEFAULT_TEXT_WIDTH = 400 };
    static const float SHADE_ALPHA;

    // With bOverBelow the mode below stays drawn and is not updated while
    // the dialog is open; without it the mode below is drawn and updated too.
    explicit DialogMode(bool bOverBelow);
    ~DialogMode() override;

    // Adds the full-screen shade.
    void init() override;
    // Shows the mouse cursor and lays the dialog out again.
    void onActivate() override;
    // Hides the table, then lets go of the sprites.
    void cleanup() override;

    Tsl::SmartPtr<Table> getTable() const { return m_pTable; }
    // Lays the table out; with bCentre it is centred on the screen first.
    void layout(bool bCentre);

    // A label of the text in the font (the dialog's label font when empty),
    // wrapped to the dialog's text width when wider, added to the mode and to
    // the table's current cell with the flags.
    Tsl::SmartPtr<Label> addLabel(Tsl::SmartPtr<Table> pTable, const Tsl::String& sText, const Tsl::String& sFont,
                                  int nFlags);
    // The same in the dialog's own table.
    Tsl::SmartPtr<Label> addLabel(const Tsl::String& sText, int nFlags);
    // A sprite of the named image in the table's current cell.
    Tsl::SmartPtr<Sprite> addImage(const Tsl::String& sImage, int nFlags);

    void setTextWidth(int nWidth) { m_nTextWidth = nWidth; }
    int getTextWidth() const { return m_nTextWidth; }
    void setLabelFont(const Tsl::String& sFont) { m_sLabelFont = sFont; }
    const Tsl::String& getLabelFont() const { return m_sLabelFont; }

private:
    Tsl::SmartPtr<Table> m_pTable;
    int m_nTextWidth;
    Tsl::String m_sLabelFont;
};

// A framed dialog of a text and a row of buttons. A button ends the dialog
// and then calls the result target's onCallback with the button's id, once:
// a second answer (a click queued behind the first) is dropped.
class CommonDialog : public DialogMode {
public:
    CommonDialog(ICallbackTarget* pTarget, const Tsl::String& sText);
    ~CommonDialog() override;

    // Before the first push: one more button in the row.
    void addButton(const Tsl::String& sText, int nId);
    // Builds the text and the buttons.
    void init() override;
    void onCallback(int nId, int nData) override;

    const Tsl::String& getText() const { return m_sText; }
    Tsl::SmartPtr<Button> getButton(int nIndex) const;
    int getButtonCount() const { return m_lButtons.getCount(); }

private:
    struct ButtonSpec {
        Tsl::String sText;
        int nId;
        bool operator==(const ButtonSpec& other) const { return nId == other.nId && sText == other.sText; }
    };

    ICallbackTarget* m_pTarget;
    bool m_bAnswered;
    Tsl::String m_sText;
    Tsl::List<ButtonSpec> m_lSpecs;
    Tsl::List<Tsl::SmartPtr<Button>> m_lButtons;
};

// A question with "Yes" and "No" (string-table keys of those names).
class DlgYesNo : public CommonDialog {
public:
    DlgYesNo(ICallbackTarget* pTarget, const Tsl::String& sQuestion, int nYesId, int nNoId);
};

// A message with one "OK" button.
class DlgMessage : public CommonDialog {
public:
    DlgMessage(ICallbackTarget* pTarget, const Tsl::String& sText, int nResultId);
};
