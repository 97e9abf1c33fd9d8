#pragma once

#include "image/color.h"
#include "base/qarnmode.h"
#include "ui/button.h"

#include "tsl2/list.h"
#include "tsl2/str.h"

class Label;

// One text line over a story picture.
class StoryText : public Tsl::RefCountedObject {
public:
    StoryText(const Tsl::String& sText, const Tsl::String& sFont, int nX, int nY, int nZOrder, float fDelay,
              const Color& color);

    Tsl::String m_sText;
    Tsl::String m_sFont;  // theme font spec name
    int m_nX, m_nY, m_nZOrder;
    // Seconds after the picture has faded in before the text appears;
    // counted down in place.
    float m_fDelay;
    Color m_Color;
};

typedef Tsl::List<Tsl::SmartPtr<StoryText>> StoryTextList;

// One story picture with its texts. A new page first clears what the
// earlier slides put on the screen.
class SlideSpec : public Tsl::RefCountedObject {
public:
    SlideSpec(const char* pszImage, int nX, int nY, int nZOrder, StoryTextList lTexts, bool bNewPage);

    Tsl::String m_sImage;
    int m_nX, m_nY;
    int m_nZOrder;
    bool m_bNewPage;
    StoryTextList m_lTexts;
};

typedef Tsl::List<Tsl::SmartPtr<SlideSpec>> SlideList;

// The story's comic pages. Automatic: each picture fades in, its texts
// appear, it stays ten seconds; a click or Space skips ahead, Escape, Return
// or another button leaves; at the end everything fades out. Album: pages
// turned with three small buttons.
class SlideshowMode : public QarnMode {
public:
    enum { STATE_WAITING = 0, STATE_FADING_IN = 1, STATE_FADING_OUT = 2, STATE_TEXTS = 3 };
    enum { ID_PREV = 0, ID_NEXT = 1, ID_STOP = 2 };
    static const float SLIDE_SECONDS;

    SlideshowMode(SlideList lSlides, bool bAlbum, Tsl::String sMusic);
    ~SlideshowMode() override;

    void onCallback(int nId, int nData) override;
    void init() override;
    void onUpdate(float fDt) override;
    bool onKeyDown(int nKey, int nModifiers) override;
    bool onMouseDown(int nButton, int nX, int nY) override;

    int getSlideState() const { return m_nState; }
    int getPage() const { return m_nPage; }
    const SpriteList& getPageSprites() const { return m_lPageSprites; }
    const Tsl::List<Tsl::SmartPtr<Label>>& getTextLabels() const { return m_lTextLabels; }
    Tsl::SmartPtr<CustomButton> getNextButton() const { return m_pNextButton; }
    Tsl::SmartPtr<CustomButton> getPrevButton() const { return m_pPrevButton; }

private:
    void addBackground();
    void buildAlbumButtons();
    Tsl::SmartPtr<CustomButton> makeAlbumButton(const char* pszName, int nId);
    void updateAutomatic(float fDt);
    void fadeTexts(float fDt);
    void fadeOut(float fDt);
    void advance();
    void showSlide(const Tsl::SmartPtr<SlideSpec>& pSlide);
    void clearPage();
    void showPictureInFull();
    void skip();
    bool startsPage(int nIndex) const;
    int nextPage(int nFirst) const;
    int previousPage(int nFirst) const;
    void showPage(int nFirst);

    SlideList m_lSlides;
    float m_fWait;
    SpriteList m_lPageSprites;
    int m_nState;
    Tsl::SmartPtr<Image> m_pImage;
    bool m_bAlbum;
    int m_nPage;
    Tsl::String m_sMusic;
    Tsl::SmartPtr<CustomButton> m_pNextButton;
    Tsl::SmartPtr<CustomButton> m_pPrevButton;
    StoryTextList m_lPendingTexts;
    Tsl::List<Tsl::SmartPtr<Label>> m_lTextLabels;
    Tsl::List<Tsl::SmartPtr<Label>> m_lPendingLabels;
};
