#include "platform/threads.h"

#include "app/gameapp.h"
#include "platform/platform.h"

#include "tsl2/error.h"

MutexImpl* Mutex::createImpl() {
    GameApp* pApp = GameApp::getInstance();
    IPlatform* pPlatform = pApp ? pApp->getPlatform() : nullptr;
    return pPlatform ? pPlatform->createMutex() : nullptr;
}

Mutex::Mutex() : m_pImpl(createImpl()) {}

Mutex::~Mutex() {
    delete m_pImpl;
}

// No call-trace frames here: locks are taken on other threads, and the
// trace stack belongs to the main thread.
void Mutex::lock() {
    if (!m_pImpl) m_pImpl = createImpl();
    // Locking with no platform to make the lock would silently protect nothing.
    if (!m_pImpl) TSL_THROW(BadStateException, "Mutex::lock : no platform to create the mutex");
    m_pImpl->lock();
}

void Mutex::unlock() {
    TSL_ASSERT(m_pImpl);
    m_pImpl->unlock();
}
