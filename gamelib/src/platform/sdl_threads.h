// The SDL lock behind Mutex.
#pragma once

#include "platform/threads.h"

#include <SDL_mutex.h>

class SDLMutexImpl : public MutexImpl {
public:
    SDLMutexImpl();
    ~SDLMutexImpl() override;
    int lock() override { return SDL_mutexP(m_pMutex); }
    int unlock() override { return SDL_mutexV(m_pMutex); }

private:
    SDL_mutex* m_pMutex;
};
