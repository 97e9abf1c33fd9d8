// Errors and the call-trace stack.
//
// Every function of ours records itself with TSL_TRACE() on entry; the frame
// is popped by the scope's destructor. Exceptions take a snapshot of the stack
// when they are built so the error report shows where the failure started,
// even after the stack has unwound.
#pragma once

#include <exception>
#include <string>
#include <vector>

namespace Tsl {

enum { TRACE_STACK_SIZE = 2048, TRACE_NOTE_SIZE = 256 };

struct TraceFrame {
    const char* pszFunction;
    const char* pszFile;
    int nLine;
    char szNote[TRACE_NOTE_SIZE];
};

// The global, unguarded stack: the program has one thread of its own.
class TraceStack {
public:
    static void push(const char* pszFunction, const char* pszFile, int nLine);
    static void pop();
    // Depth may exceed the capacity; frames past it are counted, not stored.
    static int getDepth();
    static int getStoredDepth();
    static const TraceFrame& getFrame(int nIndex);
    // Text of the whole stack, innermost frame first, one frame per line.
    static std::string toText();
    static void reset();
};

// Copies (or appends) at most 255 characters into the note of the caller's frame.
void traceSetNote(const char* pszText);
void traceAppendNote(const char* pszText);

class TraceScope {
public:
    TraceScope(const char* pszFunction, const char* pszFile, int nLine) {
        TraceStack::push(pszFunction, pszFile, nLine);
    }
    ~TraceScope() { TraceStack::pop(); }
    TraceScope(const TraceScope&) = delete;
    TraceScope& operator=(const TraceScope&) = delete;
};

class Exception : public std::exception {
public:
    Exception(const char* pszFile, int nLine, const char* pszMessage);
    ~Exception() override;

    virtual const char* getTypeName() const { return "Exception"; }
    const char* getMessage() const { return m_sMessage.c_str(); }
    const char* getFile() const { return m_sFile.c_str(); }
    int getLine() const { return m_nLine; }
    // "<type> in file <file>, line <line> : \n<message>"
    std::string getText() const;
    // The call-trace stack as it was when the exception was built.
    const std::string& getTrace() const { return m_sTrace; }
    const char* what() const noexcept override;
    // Adds text to the message and keeps the type, so a reader can name the
    // file and line where a deeper error struck and rethrow it with "throw;".
    void appendToMessage(const char* pszText);

private:
    std::string m_sFile;
    int m_nLine;
    std::string m_sMessage;
    std::string m_sTrace;
    mutable std::string m_sWhat;
};

#define TSL_DECLARE_EXCEPTION(Name)                                               \
    class Name : public Exception {                                               \
    public:                                                                       \
        Name(const char* pszFile, int nLine, const char* pszMessage)              \
            : Exception(pszFile, nLine, pszMessage) {}                            \
        const char* getTypeName() const override { return #Name; }                \
    };

TSL_DECLARE_EXCEPTION(AssertFailException)
TSL_DECLARE_EXCEPTION(BadParmException)
TSL_DECLARE_EXCEPTION(BadStateException)
TSL_DECLARE_EXCEPTION(BadStreamFormatException)
TSL_DECLARE_EXCEPTION(FatalErrorException)
TSL_DECLARE_EXCEPTION(FileAccessException)
TSL_DECLARE_EXCEPTION(ResourceException)

// printf-style message into a std::string (used by the throw macro).
std::string formatMessage(const char* pszFormat, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

} // namespace Tsl

#define TSL_TRACE_CONCAT2(a, b) a##b
#define TSL_TRACE_CONCAT(a, b) TSL_TRACE_CONCAT2(a, b)
#define TSL_TRACE() ::Tsl::TraceScope TSL_TRACE_CONCAT(tslTraceScope_, __LINE__)(__func__, __FILE__, __LINE__)

// TSL_THROW(FatalErrorException, "List index out of range : %d (have %d)", i, n)
#define TSL_THROW(Type, ...) throw ::Tsl::Type(__FILE__, __LINE__, ::Tsl::formatMessage(__VA_ARGS__).c_str())

#define TSL_ASSERT(expr)                                                                  \
    do {                                                                                  \
        if (!(expr))                                                                      \
            throw ::Tsl::AssertFailException(__FILE__, __LINE__, "Assertion failed : " #expr); \
    } while (0)
