// A file on disk as a stream.
#pragma once

#include "tsl2/stream.h"

#include <cstdio>

namespace Tsl {

class File : public Stream {
public:
    enum Mode { eRead = 1, eWrite = 2, eReadWrite = 3 };

    // Raises FileAccessException naming the file when it cannot be opened
    // (for eRead and eReadWrite: when it does not exist). eWrite truncates;
    // eReadWrite keeps the contents and creates a missing file only if asked.
    File(const String& sPath, int nMode, bool bCreate = false);
    ~File() override;

    // True when the path names a regular file that opens for reading; never
    // waits (a FIFO or a device is not a file here).
    static bool exists(const char* pszPath);
    // The regular file at the path, open for reading; never waits. Anything
    // else there (a FIFO, a device, a folder) raises FileAccessException
    // naming the path, as a missing file does.
    static File* openRegular(const String& sPath);

    int read(void* pBuffer, int nSize) override;
    int write(const void* pData, int nSize) override;
    int64_t tell() const override;
    bool seek(int64_t nOffset, SeekOrigin eOrigin = eSeekSet) override;
    int64_t getSize() const override;
    bool canRead() const override { return (m_nMode & eRead) != 0; }
    bool canWrite() const override { return (m_nMode & eWrite) != 0; }
    String getName() const override { return m_sPath; }
    // Writes are buffered, so a full disk may only show here: raises
    // FileAccessException naming the file when the buffered bytes can't be written.
    void flush() override;

    // Closes early; later reads and writes move nothing. Raises like flush
    // when the last bytes can't be written (the destructor closes quietly, so
    // a writer that must know calls close itself).
    void close();
    const String& getPath() const { return m_sPath; }

private:
    // Over a stream opened already.
    File(const String& sPath, std::FILE* pFile);
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    // stdio needs a positioning call between a read and a write on one stream.
    void switchDirection(bool bWriting);

    String m_sPath;
    int m_nMode;
    std::FILE* m_pFile;
    int m_nLastOp; // 0 none, 1 read, 2 write
};

} // namespace Tsl
