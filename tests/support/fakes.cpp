#include "fakes.h"

#include "sdl_image.h"

FakePlatform::FakePlatform(EventLog* pLog)
    : m_pLog(pLog), m_pVideo(new FakeVideoDriver(pLog)), m_pImageFactory(new SDLImageFactory()) {}

FakePlatform::~FakePlatform() {
    delete m_pImageFactory;
    delete m_pVideo;
}
