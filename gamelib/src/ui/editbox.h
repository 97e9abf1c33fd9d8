// A one-line text field: a click gives it the keyboard focus, typed
// characters go in at the caret (shown while focused), Backspace and Delete
// remove the character before or after it, Left, Right, Home and End move
// it, and Return fires the callback. The text is UTF-8; the caret moves by
// whole characters.
#pragma once

#include "ui/control.h"

class Font;

class EditBox : public Control {
public:
    // nWidth pixels wide inside its frame; nMaxLength characters at most
    // (0: no limit).
    EditBox(int nId, int nWidth, int nMaxLength = 0);
    ~EditBox() override;

    void setText(const Tsl::String& sText);
    const Tsl::String& getText() const { return m_sText; }
    // Byte offset of the caret in the text.
    int getCaret() const { return m_nCaret; }
    void setFont(const Tsl::String& sName);
    // A theme frame style name ("EditBox" unless set).
    void setFrameStyle(const Tsl::String& sStyle);
    int getCharacterCount() const;

    bool onKeyDown(int nKey, int nModifiers) override;
    bool onChar(int nCharacter) override;

protected:
    void updateLook() override;

private:
    void render();
    void insert(int nCharacter);
    int previousCharacter(int nOffset) const;
    int nextCharacter(int nOffset) const;

    Tsl::String m_sText;
    int m_nCaret;
    int m_nWidth;
    int m_nMaxLength;
    Tsl::String m_sFont;
    Tsl::String m_sFrameStyle;
    bool m_bShowsCaret;
};
