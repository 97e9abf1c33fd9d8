// Elapsed-time source in float seconds with a duration, used by every
// time-driven behaviour (sprite controllers, sweeps, delays).
#pragma once

#include "tsl2/refcount.h"

class Timer : public Tsl::RefCountedObject {
public:
    enum {
        // A restarted period keeps the time that ran past the duration.
        KEEP_OVERSHOOT = 1,
        // Every advance clamps the elapsed time into 0..duration.
        CLAMP = 2
    };

    explicit Timer(float fDuration = 0.0f, unsigned int nFlags = 0);

    // Clears the wrap count, adds dt and returns isDone.
    bool advance(float fDelta);
    bool isDone() const;
    // Starts the next period; the periods that fitted into the elapsed time
    // are added to the wrap count.
    void restart();
    void setDuration(float fDuration, bool bRestart);
    float getDuration() const { return m_fDuration; }
    bool setFlags(unsigned int nFlags);
    unsigned int getFlags() const { return m_nFlags; }
    float getTime() const { return m_fTime; }
    void setTime(float fTime) { m_fTime = fTime; }
    float getTimeLeft() const { return m_fDuration - m_fTime; }
    float getProgress() const;
    int getWrapCount() const { return m_nWrapCount; }

private:
    void addWraps(double fWraps);

    float m_fDuration;
    unsigned int m_nFlags;
    float m_fTime;
    int m_nWrapCount;
};
