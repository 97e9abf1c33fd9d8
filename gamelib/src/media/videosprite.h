// A sprite that shows a movie: it advances its back end every frame and
// shows each new picture as its image. It starts playing when made, and its
// sound replaces the other sound while it plays.
#pragma once

#include "sprite/sprite.h"

#include <memory>

class IVideoSpriteImpl;

class VideoSprite : public Sprite {
public:
    // Raises FatalErrorException "Can't open '<path>'" when the movie cannot
    // be opened.
    explicit VideoSprite(const char* pszPath);
    ~VideoSprite() override;

    // The movie's picture size.
    int getWidth() const override;
    int getHeight() const override;

    // Called by the owner every frame.
    virtual void update(float fDt);

    void play();
    bool isPlaying() const { return m_bPlaying; }
    bool isFinished() const { return m_bFinished; }
    // The sprite's own factor on the application's sound volume.
    void setVolume(float fVolume);
    float getVolume() const { return m_fVolume; }
    void setAudioExclusive(bool bExclusive);
    bool isAudioExclusive() const;
    float getCurrentTime() const;
    void seek(float fSeconds);

private:
    void passVolume();

    std::unique_ptr<IVideoSpriteImpl> m_pImpl;
    bool m_bPlaying;
    bool m_bFinished;
    float m_fVolume;
};
