#include "audio/alsamessages.h"

#include "app/gameapp.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>

std::thread::id AlsaMessagesToLog::s_owner;

AlsaMessagesToLog::AlsaMessagesToLog() : m_pLibrary(dlopen("libasound.so.2", RTLD_NOW)), m_fnSetHandler(nullptr) {
    if (!m_pLibrary) return;
    m_fnSetHandler = reinterpret_cast<SetHandler>(dlsym(m_pLibrary, "snd_lib_error_set_handler"));
    s_owner = std::this_thread::get_id();
    if (m_fnSetHandler) m_fnSetHandler(&AlsaMessagesToLog::logMessage);
}

AlsaMessagesToLog::~AlsaMessagesToLog() {
    // ALSA's own handler again before the library may go.
    if (m_fnSetHandler) m_fnSetHandler(nullptr);
    if (m_pLibrary) dlclose(m_pLibrary);
}

void AlsaMessagesToLog::logMessage(const char* pszFile, int nLine, const char* pszFunction, int nError,
                                   const char* pszFormat, ...) {
    if (std::this_thread::get_id() != s_owner || !pszFormat) return;
    char szText[512];
    va_list args;
    va_start(args, pszFormat);
    std::vsnprintf(szText, sizeof(szText), pszFormat, args);
    va_end(args);
    GameApp::log("A: ALSA %s:%d:(%s) %s%s%s\n", pszFile ? pszFile : "", nLine, pszFunction ? pszFunction : "", szText,
                 nError ? ": " : "", nError ? std::strerror(std::abs(nError)) : "");
}
