#include "ui/button.h"

#include "app/gameapp.h"
#include "app/gamemode.h"
#include "text/font.h"
#include "ui/label.h"
#include "ui/styles.h"
#include "ui/theme.h"

#include <algorithm>

// ---- ImageButton -----------------------------------------------------------------------

ImageButton::ImageButton(int nId) : Control(nId) {}

int ImageButton::getState() const {
    if (isPressed() && isHovered()) return STATE_PUSHED;
    if (isHovered()) return STATE_HIGHLIGHTED;
    return STATE_NORMAL;
}

int ImageButton::currentLook() const {
    int nLook = BL_NORMAL;
    if (!isEnabled()) nLook = BL_DISABLED;
    else if (getState() == STATE_PUSHED) nLook = BL_PUSHED;
    else if (getState() == STATE_HIGHLIGHTED) nLook = BL_HIGHLIGHTED;
    return m_apLooks[nLook] ? nLook : BL_NORMAL;
}

void ImageButton::updateLook() {
    Tsl::SmartPtr<Image> pImage = m_apLooks[currentLook()];
    if (pImage != getImage()) showImage(pImage);
}

void ImageButton::onClick() { fireCallback(0); }

// ---- Button -------------------------------------------------------------------------------

Button::Button(const Tsl::String& sText, int nId)
    : ImageButton(nId), m_sText(sText), m_sStyle("Default"), m_bCutLogged(false) {
    render();
}

Button::~Button() {}

void Button::setStyle(const Tsl::String& sStyle) {
    m_sStyle = sStyle;
    render();
}

Tsl::SmartPtr<Image> Button::renderLook(const ButtonStyle& style, Font* pFont, const Tsl::String& sText, int nLook,
                                        int nWidth, int nHeight) const {
    Image* pFrame = style.apImages[nLook] ? style.apImages[nLook] : style.apImages[ButtonStyle::NORMAL];
    Tsl::SmartPtr<Image> pImage = StyleDraw::makeNineSlice(pFrame, style.borders, nWidth, nHeight);
    Tsl::SmartPtr<Font> pText(pFont);
    if (style.aTextColors[nLook].a != 0) {
        pText = pFont->clone();
        pText->setTextColor(style.aTextColors[nLook]);
    }
    int nShadow = pText->getDrawShadow() ? std::max(0, pText->getShadowOffset()) : 0;
    int nPush = nLook == BL_PUSHED ? style.nPushOffset : 0;
    int nX = (nWidth - pText->getTextWidth(sText) - nShadow) / 2 + nPush;
    int nY = (nHeight - pText->getHeight() - nShadow) / 2 + nPush;
    pText->drawString(pImage, nX, nY, sText);
    return pImage;
}

void Button::render() {
    TSL_TRACE();
    Theme* pTheme = GameApp::getInstance()->getTheme();
    Tsl::SmartPtr<ButtonStyle> pStyle = pTheme->getButtonStyle(m_sStyle);
    if (!pStyle) return;
    Tsl::SmartPtr<Font> pFont = pTheme->getFont(pStyle->sFont.isEmpty() ? "Theme::Button" : pStyle->sFont.c_str());
    int nShadow = pFont->getDrawShadow() ? std::max(0, pFont->getShadowOffset()) : 0;
    // A text wider than a picture can be (a runaway string) is drawn cut.
    int nFrame = nShadow + 2 * pStyle->nPaddingX;
    Tsl::String sShown = pFont->cutToWidth(m_sText, Font::MAX_PICTURE_SIDE - nFrame);
    if (sShown != m_sText && !m_bCutLogged) {
        GameApp::log("G: Button text too large for its picture, drawn cut: \"%s\"\n", m_sText.left(60).c_str());
        m_bCutLogged = true;
    }
    int nWidth = std::min(std::max(pStyle->nMinWidth, pFont->getTextWidth(sShown) + nFrame), int(Font::MAX_PICTURE_SIDE));
    int nHeight = std::max(pStyle->nMinHeight, pFont->getHeight() + nShadow + 2 * pStyle->nPaddingY);
    for (int nLook = 0; nLook < BL_COUNT; ++nLook)
        setLookImage(nLook, renderLook(*pStyle, pFont, sShown, nLook, nWidth, nHeight));
    updateLook();
}

// ---- ToggleButton ---------------------------------------------------------------------------

ToggleButton::ToggleButton(const Tsl::String& sText, int nId) : Button(sText, nId), m_bToggled(false) {}

void ToggleButton::setToggled(bool bToggled) {
    m_bToggled = bToggled;
    updateLook();
}

int ToggleButton::getState() const { return m_bToggled ? STATE_PUSHED : ImageButton::getState(); }

int ToggleButton::currentLook() const {
    if (isEnabled() && m_bToggled) return BL_PUSHED;
    return ImageButton::currentLook();
}

void ToggleButton::onClick() {
    setToggled(!m_bToggled);
    fireCallback(m_bToggled ? 1 : 0);
}

// ---- CustomButton ---------------------------------------------------------------------------

CustomButton::CustomButton(int nId, Tsl::SmartPtr<Image> pNormal, Tsl::SmartPtr<Image> pHighlighted,
                           Tsl::SmartPtr<Image> pPushed, Tsl::SmartPtr<Image> pDisabled)
    : ImageButton(nId) {
    setLookImage(BL_NORMAL, pNormal);
    setLookImage(BL_HIGHLIGHTED, pHighlighted);
    setLookImage(BL_PUSHED, pPushed);
    setLookImage(BL_DISABLED, pDisabled);
    updateLook();
}

// ---- RadioButton ------------------------------------------------------------------------------

// The link from a part back to its option; cleared when the option goes first.
struct RadioPartLink {
    RadioButton* pOption = nullptr;
    void clicked() const {
        if (pOption) pOption->onPartClicked();
    }
};

class RadioPart : public Control, public RadioPartLink {
public:
    RadioPart() : Control(0) {}

protected:
    void onClick() override { clicked(); }
};

namespace {
class RadioCaption : public Label, public RadioPartLink {
public:
    explicit RadioCaption(const Tsl::String& sText) : Label(sText) {}

protected:
    // Clicking the caption chooses the option, as clicking its box does.
    bool takesClicks() const override { return true; }
    void onClick() override { clicked(); }
};
} // namespace

RadioButton::RadioButton(GameMode* pOwner, Tsl::SmartPtr<Image> pClear, Tsl::SmartPtr<Image> pChosen,
                         const Tsl::String& sCaption, int nId)
    : Table(pOwner), m_nId(nId), m_bSelected(false), m_bEnabled(true), m_pGroup(nullptr), m_pClear(pClear),
      m_pChosen(pChosen) {
    TSL_TRACE();
    Tsl::SmartPtr<RadioStyle> pStyle = GameApp::getInstance()->getTheme()->getRadioStyle("Default");
    if (!m_pClear && pStyle) m_pClear = pStyle->pClear;
    if (!m_pChosen && pStyle) m_pChosen = pStyle->pChosen;
    if (!m_pChosen) m_pChosen = m_pClear;
    RadioPart* pBox = new RadioPart();
    pBox->pOption = this;
    m_pBox = pBox;
    m_pBox->setImage(m_pClear);
    RadioCaption* pCaption = new RadioCaption(sCaption);
    pCaption->pOption = this;
    m_pCaption = pCaption;
    if (pStyle && !pStyle->sFont.isEmpty()) pCaption->setFont(pStyle->sFont);
    setColumnSpacing(pStyle ? pStyle->nSpacing : 4);
    if (pOwner) {
        pOwner->addControl(m_pBox);
        pOwner->addControl(m_pCaption);
    }
    addCell(1);
    add(m_pBox, Image::ALIGN_VCENTER);
    addCell(1);
    setCellFlags(1 | Image::ALIGN_VCENTER);
    add(m_pCaption, Image::ALIGN_VCENTER);
}

RadioButton::~RadioButton() {
    if (RadioPartLink* pLink = dynamic_cast<RadioPartLink*>(m_pBox.get())) pLink->pOption = nullptr;
    if (RadioPartLink* pLink = dynamic_cast<RadioPartLink*>(m_pCaption.get())) pLink->pOption = nullptr;
}

Tsl::SmartPtr<Label> RadioButton::getCaption() const { return Tsl::SmartPtr<Label>::dynamicCast(m_pCaption); }

Tsl::SmartPtr<Sprite> RadioButton::getBox() const { return m_pBox; }

void RadioButton::setFont(const Tsl::SmartPtr<Font>& pFont) {
    getCaption()->setFont(pFont);
    invalidate();
}

void RadioButton::setFont(const Tsl::String& sName) { setFont(GameMode::getFont(sName)); }

void RadioButton::setSelected(bool bSelected) {
    m_bSelected = bSelected;
    Control* pBox = static_cast<Control*>(m_pBox.get());
    bool bVisible = pBox->isVisible();
    pBox->setImage(bSelected ? m_pChosen : m_pClear);
    pBox->setVisible(bVisible);
}

void RadioButton::setEnabled(bool bEnabled) {
    m_bEnabled = bEnabled;
    static_cast<Control*>(m_pBox.get())->setEnabled(bEnabled);
    static_cast<Control*>(m_pCaption.get())->setEnabled(bEnabled);
}

void RadioButton::onPartClicked() {
    // Held: the callback may clear the table that holds us.
    Tsl::SmartPtr<RadioButton> pSelf(this);
    if (m_pGroup) m_pGroup->select(m_nId);
    else setSelected(true);
    CallbackTrigger(m_nId).fire(m_pBox, 0);
}

// ---- RadioGroup ---------------------------------------------------------------------------------

RadioGroup::~RadioGroup() {
    for (const Tsl::SmartPtr<RadioButton>& pButton : m_lButtons) pButton->setGroup(nullptr);
}

void RadioGroup::append(Tsl::SmartPtr<RadioButton> pButton) {
    if (!pButton || m_lButtons.indexOf(pButton) >= 0) return;
    m_lButtons.append(pButton);
    pButton->setGroup(this);
}

bool RadioGroup::select(int nId) {
    bool bFound = false;
    for (const Tsl::SmartPtr<RadioButton>& pButton : m_lButtons) {
        bool bMatch = pButton->getId() == nId;
        pButton->setSelected(bMatch);
        bFound = bFound || bMatch;
    }
    return bFound;
}

int RadioGroup::getSelectedId() const {
    for (const Tsl::SmartPtr<RadioButton>& pButton : m_lButtons)
        if (pButton->isSelected()) return pButton->getId();
    return -1;
}
