// Sliders: a thumb moved along a track by dragging (or by a press on the
// track, which jumps the thumb there). The value is an integer from the
// minimum to the maximum; every change fires the callback with the value as
// its data.
#pragma once

#include "ui/control.h"

struct SliderStyle;

class SliderBase : public Control {
public:
    // Horizontal or vertical, nLength pixels long, values nMin to nMax.
    SliderBase(int nId, bool bVertical, int nLength, int nMin, int nMax, int nValue);
    ~SliderBase() override;

    // Clamped to the range; no callback.
    void setValue(int nValue);
    int getValue() const { return m_nValue; }
    void setRange(int nMin, int nMax);
    int getMinimum() const { return m_nMin; }
    int getMaximum() const { return m_nMax; }
    // A theme slider style name.
    void setStyle(const Tsl::String& sStyle);
    bool isVertical() const { return m_bVertical; }
    // Where the thumb's centre is along the track, in pixels from its start.
    int getThumbOffset() const;
    // The value a point along the track (pixels from its start) stands for.
    int valueAt(int nOffset) const;

protected:
    void onPress(int nX, int nY) override;
    void onDrag(int nX, int nY) override;
    void updateLook() override;

private:
    void render();
    // Pixels along the track from its start for a screen point.
    int offsetOf(int nX, int nY) const;
    void moveTo(int nX, int nY);
    int getTravel() const;

    bool m_bVertical;
    int m_nLength;
    int m_nMin;
    int m_nMax;
    int m_nValue;
    Tsl::String m_sStyle;
    Tsl::SmartPtr<SliderStyle> m_pStyle;
    // Where on the thumb the press took it, so it does not jump under the mouse.
    int m_nGrabOffset;
};

class HSlider : public SliderBase {
public:
    HSlider(int nId, int nWidth, int nMin = 0, int nMax = 100, int nValue = 0)
        : SliderBase(nId, false, nWidth, nMin, nMax, nValue) {}
};

class VSlider : public SliderBase {
public:
    // The top of the track is the maximum.
    VSlider(int nId, int nHeight, int nMin = 0, int nMax = 100, int nValue = 0)
        : SliderBase(nId, true, nHeight, nMin, nMax, nValue) {}
};
