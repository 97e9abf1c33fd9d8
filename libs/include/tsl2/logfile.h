// The application's log: every write opens the file in append mode, writes
// and closes it again, so the log survives a crash a moment later and other
// programs can read it while the game runs.
#pragma once

#include "tsl2/stream.h"

namespace Tsl {

class LogFile : public Stream {
public:
    explicit LogFile(const String& sPath);
    ~LogFile() override;

    int read(void*, int) override { return 0; }
    // Bytes appended; 0 when the file can't be opened.
    int write(const void* pData, int nSize) override;
    // Size of the file on disk.
    int64_t tell() const override { return getSize(); }
    bool seek(int64_t, SeekOrigin = eSeekSet) override { return false; }
    int64_t getSize() const override;
    bool canRead() const override { return false; }
    bool canWrite() const override { return true; }
    String getName() const override { return m_sPath; }

private:
    String m_sPath;
};

} // namespace Tsl
