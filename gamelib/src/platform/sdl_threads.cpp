#include "platform/sdl_threads.h"

#include "tsl2/error.h"

SDLMutexImpl::SDLMutexImpl() : m_pMutex(SDL_CreateMutex()) {
    TSL_TRACE();
    TSL_ASSERT(m_pMutex);
}

SDLMutexImpl::~SDLMutexImpl() {
    SDL_DestroyMutex(m_pMutex);
}
