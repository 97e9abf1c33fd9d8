// Buttons: a press over the button and a release over it fire its callback
// to the owning mode (or the trigger's target). Text buttons take their
// look from a theme button style; image buttons from their own pictures.
#pragma once

#include "ui/control.h"
#include "ui/uitable.h"

#include "tsl2/list.h"

class Font;
class Label;
struct ButtonStyle;

// The looks a button can show, in the order its images are kept.
enum ButtonLook { BL_NORMAL = 0, BL_HIGHLIGHTED = 1, BL_PUSHED = 2, BL_DISABLED = 3, BL_COUNT = 4 };

// What the images of all buttons share: one picture per look, chosen from
// the state after every change.
class ImageButton : public Control {
public:
    explicit ImageButton(int nId);

    // 0 normal, 1 pushed, 2 highlighted.
    enum { STATE_NORMAL = 0, STATE_PUSHED = 1, STATE_HIGHLIGHTED = 2 };
    virtual int getState() const;

protected:
    void setLookImage(int nLook, Tsl::SmartPtr<Image> pImage) { m_apLooks[nLook] = pImage; }
    Tsl::SmartPtr<Image> getLookImage(int nLook) const { return m_apLooks[nLook]; }
    // The look for the current state (missing looks fall back to normal).
    virtual int currentLook() const;
    void updateLook() override;
    void onClick() override;

private:
    Tsl::SmartPtr<Image> m_apLooks[BL_COUNT];
};

class Button : public ImageButton {
public:
    // An enabled text button of automatic width in the "Default" style.
    Button(const Tsl::String& sText, int nId);
    ~Button() override;

    // A theme button style name, such as "PaperButton".
    void setStyle(const Tsl::String& sStyle);
    const Tsl::String& getStyle() const { return m_sStyle; }
    const Tsl::String& getText() const { return m_sText; }

protected:
    void render();

private:
    Tsl::SmartPtr<Image> renderLook(const ButtonStyle& style, Font* pFont, const Tsl::String& sText, int nLook,
                                    int nWidth, int nHeight) const;

    Tsl::String m_sText;
    Tsl::String m_sStyle;
    // A text cut to fit the button's picture is logged once.
    bool m_bCutLogged;
};

// A two-state button: each click flips it and fires with data 1 (toggled
// on) or 0; while on it shows its pushed look.
class ToggleButton : public Button {
public:
    // Not toggled at first.
    ToggleButton(const Tsl::String& sText, int nId);

    void setToggled(bool bToggled);
    bool isToggled() const { return m_bToggled; }
    int getState() const override;

protected:
    int currentLook() const override;
    void onClick() override;

private:
    bool m_bToggled;
};

// A button of its own pictures: normal, highlighted, pushed, disabled (a
// null picture shows the normal one).
class CustomButton : public ImageButton {
public:
    CustomButton(int nId, Tsl::SmartPtr<Image> pNormal, Tsl::SmartPtr<Image> pHighlighted,
                 Tsl::SmartPtr<Image> pPushed, Tsl::SmartPtr<Image> pDisabled);
};

class RadioGroup;
class RadioButton;

// One option of a choice, laid out as a small table: the box (the image
// when clear or when chosen) and the caption beside it. Its parts join the
// owning mode as controls, so a click on either chooses the option and
// fires the callback with the option's id to the owning mode.
class RadioButton : public Table {
public:
    // Null images take the theme's "Default" radio style.
    RadioButton(GameMode* pOwner, Tsl::SmartPtr<Image> pClear, Tsl::SmartPtr<Image> pChosen,
                const Tsl::String& sCaption, int nId);
    ~RadioButton() override;

    void setFont(const Tsl::SmartPtr<Font>& pFont);
    void setFont(const Tsl::String& sName);
    int getId() const { return m_nId; }
    void setSelected(bool bSelected);
    bool isSelected() const { return m_bSelected; }
    void setEnabled(bool bEnabled);
    bool isEnabled() const { return m_bEnabled; }
    // Set by the group that holds the option.
    void setGroup(RadioGroup* pGroup) { m_pGroup = pGroup; }
    Tsl::SmartPtr<Label> getCaption() const;
    Tsl::SmartPtr<Sprite> getBox() const;
    // A click on the box or the caption: chosen (through the group when it
    // has one), then the callback.
    void onPartClicked();

private:
    int m_nId;
    bool m_bSelected;
    bool m_bEnabled;
    RadioGroup* m_pGroup;
    Tsl::SmartPtr<Image> m_pClear;
    Tsl::SmartPtr<Image> m_pChosen;
    Tsl::SmartPtr<Sprite> m_pBox;
    Tsl::SmartPtr<Sprite> m_pCaption;
};

// The options of one choice: at most one is selected.
class RadioGroup {
public:
    RadioGroup() {}
    ~RadioGroup();

    void append(Tsl::SmartPtr<RadioButton> pButton);
    // Selects the option with that callback id and clears the others; true
    // when one matched (none matching clears them all).
    bool select(int nId);
    // The selected option's id, -1 when none is.
    int getSelectedId() const;
    int getCount() const { return m_lButtons.getCount(); }
    Tsl::SmartPtr<RadioButton> getAt(int nIndex) const { return m_lButtons.getAt(nIndex); }

private:
    RadioGroup(const RadioGroup&) = delete;
    RadioGroup& operator=(const RadioGroup&) = delete;

    Tsl::List<Tsl::SmartPtr<RadioButton>> m_lButtons;
};
