#include "tsl2/error.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace Tsl {

namespace {
TraceFrame s_aFrames[TRACE_STACK_SIZE];
int s_nDepth = 0;

TraceFrame* currentFrame() {
    if (s_nDepth <= 0 || s_nDepth > TRACE_STACK_SIZE) return nullptr;
    return &s_aFrames[s_nDepth - 1];
}
} // namespace

void TraceStack::push(const char* pszFunction, const char* pszFile, int nLine) {
    if (s_nDepth < TRACE_STACK_SIZE) {
        TraceFrame& frame = s_aFrames[s_nDepth];
        frame.pszFunction = pszFunction;
        frame.pszFile = pszFile;
        frame.nLine = nLine;
        frame.szNote[0] = '\0';
    }
    ++s_nDepth;
}

void TraceStack::pop() {
    if (s_nDepth > 0) --s_nDepth;
}

int TraceStack::getDepth() { return s_nDepth; }

int TraceStack::getStoredDepth() { return s_nDepth < TRACE_STACK_SIZE ? s_nDepth : TRACE_STACK_SIZE; }

const TraceFrame& TraceStack::getFrame(int nIndex) { return s_aFrames[nIndex]; }

std::string TraceStack::toText() {
    std::string sText;
    char szLine[TRACE_NOTE_SIZE + 512];
    if (s_nDepth > TRACE_STACK_SIZE) {
        std::snprintf(szLine, sizeof(szLine), "  (%d frames not recorded)\n", s_nDepth - TRACE_STACK_SIZE);
        sText += szLine;
    }
    for (int i = getStoredDepth() - 1; i >= 0; --i) {
        const TraceFrame& frame = s_aFrames[i];
        std::snprintf(szLine, sizeof(szLine), "  %s (%s, line %d)%s%s%s\n", frame.pszFunction, frame.pszFile,
                      frame.nLine, frame.szNote[0] ? " [" : "", frame.szNote, frame.szNote[0] ? "]" : "");
        sText += szLine;
    }
    return sText;
}

void TraceStack::reset() { s_nDepth = 0; }

void traceSetNote(const char* pszText) {
    TraceFrame* pFrame = currentFrame();
    if (!pFrame) return;
    std::snprintf(pFrame->szNote, sizeof(pFrame->szNote), "%s", pszText ? pszText : "");
}

void traceAppendNote(const char* pszText) {
    TraceFrame* pFrame = currentFrame();
    if (!pFrame || !pszText) return;
    size_t nUsed = std::strlen(pFrame->szNote);
    std::snprintf(pFrame->szNote + nUsed, sizeof(pFrame->szNote) - nUsed, "%s", pszText);
}

Exception::Exception(const char* pszFile, int nLine, const char* pszMessage)
    : m_sFile(pszFile ? pszFile : ""), m_nLine(nLine), m_sMessage(pszMessage ? pszMessage : ""),
      m_sTrace(TraceStack::toText()) {}

Exception::~Exception() {}

std::string Exception::getText() const {
    return formatMessage("%s in file %s, line %d : \n", getTypeName(), m_sFile.c_str(), m_nLine) + m_sMessage;
}

void Exception::appendToMessage(const char* pszText) {
    if (pszText) m_sMessage += pszText;
}

const char* Exception::what() const noexcept {
    try {
        m_sWhat = getText();
        return m_sWhat.c_str();
    } catch (...) {
        return m_sMessage.c_str();
    }
}

std::string formatMessage(const char* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    va_list argsCopy;
    va_copy(argsCopy, args);
    int nLength = std::vsnprintf(nullptr, 0, pszFormat, argsCopy);
    va_end(argsCopy);
    std::string sText;
    if (nLength > 0) {
        sText.resize(static_cast<size_t>(nLength) + 1);
        std::vsnprintf(&sText[0], sText.size(), pszFormat, args);
        sText.resize(static_cast<size_t>(nLength));
    }
    va_end(args);
    return sText;
}

} // namespace Tsl
