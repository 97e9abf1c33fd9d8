#include "game/crashhandler.h"

#include "app/gameapp.h"
#include "platform/sighandler.h"

#include "tsl2/error.h"

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int s_nCrashLog = -1;

const char* const STARTUP_LINE = "M: == STARTUP ==";
const char* const SIGNAL_LINE = "M: ** SIG ";
// The part of a long log read to tell how its last run ended.
const long LOG_TAIL_BYTES = 1 << 20;

// Nothing below allocates, locks or formats through stdio: it runs inside
// the signal handler.
void writeText(const char* pszText) {
    if (s_nCrashLog < 0 || !pszText) return;
    size_t nLength = std::strlen(pszText);
    while (nLength > 0) {
        ssize_t nWritten = write(s_nCrashLog, pszText, nLength);
        if (nWritten <= 0) return;
        pszText += nWritten;
        nLength -= static_cast<size_t>(nWritten);
    }
}

void writeNumber(unsigned int nValue, unsigned int nBase) {
    char szDigits[16];
    int nPos = sizeof(szDigits) - 1;
    szDigits[nPos] = '\0';
    do {
        szDigits[--nPos] = "0123456789ABCDEF"[nValue % nBase];
        nValue /= nBase;
    } while (nValue != 0 && nPos > 0);
    writeText(szDigits + nPos);
}

void writeTrace() {
    for (int i = Tsl::TraceStack::getStoredDepth() - 1; i >= 0; --i) {
        const Tsl::TraceFrame& frame = Tsl::TraceStack::getFrame(i);
        writeText("M:   ");
        writeText(frame.pszFunction);
        writeText(" (");
        writeText(frame.pszFile);
        writeText(", line ");
        writeNumber(static_cast<unsigned int>(frame.nLine), 10);
        writeText(")");
        if (frame.szNote[0]) {
            // The note is cut to its buffer; it may not be terminated.
            char szNote[Tsl::TRACE_NOTE_SIZE + 1];
            std::memcpy(szNote, frame.szNote, Tsl::TRACE_NOTE_SIZE);
            szNote[Tsl::TRACE_NOTE_SIZE] = '\0';
            writeText(" [");
            writeText(szNote);
            writeText("]");
        }
        writeText("\n");
    }
}

std::string readLogTail(const char* pszLogFile) {
    std::string sText;
    FILE* pFile = std::fopen(pszLogFile, "rb");
    if (!pFile) return sText;
    if (std::fseek(pFile, 0, SEEK_END) == 0) {
        long nSize = std::ftell(pFile);
        std::fseek(pFile, nSize > LOG_TAIL_BYTES ? nSize - LOG_TAIL_BYTES : 0, SEEK_SET);
    }
    char aBuffer[65536];
    size_t nRead = 0;
    while ((nRead = std::fread(aBuffer, 1, sizeof(aBuffer), pFile)) > 0) sText.append(aBuffer, nRead);
    std::fclose(pFile);
    return sText;
}

} // namespace

void openCrashLog(const char* pszLogFile) {
    closeCrashLog();
    if (pszLogFile && *pszLogFile) s_nCrashLog = open(pszLogFile, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
}

void closeCrashLog() {
    if (s_nCrashLog >= 0) close(s_nCrashLog);
    s_nCrashLog = -1;
}

void onSignal(int nSignal) {
    // A handler stuck anyway (a blocked write) still ends: the alarm's
    // default action kills the process.
    alarm(CRASH_ALARM_SECONDS);
    writeText(SIGNAL_LINE);
    writeNumber(static_cast<unsigned int>(nSignal), 10);
    writeText(" [");
    writeNumber(static_cast<unsigned int>(nSignal), 16);
    writeText("]\n");
    writeTrace();
    writeText("M: The log report is made at the next start\n");
    writeText("M: == END ==\n");
    _exit(CRASH_EXIT_BASE + nSignal);
}

bool lastRunCrashed(const char* pszLogFile) {
    std::string sLog = readLogTail(pszLogFile);
    size_t nStart = sLog.rfind(STARTUP_LINE);
    return sLog.find(SIGNAL_LINE, nStart == std::string::npos ? 0 : nStart) != std::string::npos;
}

Tsl::String reportPreviousCrash(const char* pszLogFile) {
    TSL_TRACE();
    if (!lastRunCrashed(pszLogFile)) return Tsl::String();
    Tsl::String sReport = GameApp::saveLogReport(pszLogFile);
    if (!sReport.isEmpty())
        std::fprintf(stderr, "The last run crashed. A report of its log is in %s\n", sReport.c_str());
    return sReport;
}
