#pragma once

#include <thread>

// While it lives, what ALSA has to say goes to the log instead of the
// terminal: looking for a sound device on a machine without a sound card
// makes ALSA write a screenful there. ALSA is not linked against: SDL loads
// it, and the scope finds it by name; without it there is nothing to quiet.
// Only the thread that made the scope logs; a message from another one (the
// mixer's) is dropped, as the log is written from one thread.
class AlsaMessagesToLog {
public:
    AlsaMessagesToLog();
    ~AlsaMessagesToLog();
    AlsaMessagesToLog(const AlsaMessagesToLog&) = delete;
    AlsaMessagesToLog& operator=(const AlsaMessagesToLog&) = delete;

private:
    typedef void (*Handler)(const char* pszFile, int nLine, const char* pszFunction, int nError,
                            const char* pszFormat, ...);
    typedef int (*SetHandler)(Handler);

    static void logMessage(const char* pszFile, int nLine, const char* pszFunction, int nError, const char* pszFormat,
                           ...);

    static std::thread::id s_owner;
    void* m_pLibrary;
    SetHandler m_fnSetHandler;
};
