// Streams over bytes in memory.
//
// A write stream grows as it is written. Its bytes live in a shared,
// reference-counted buffer, so a read stream made by createReadStream stays
// valid even when the writer is destroyed first.
#pragma once

#include "tsl2/stream.h"

#include <vector>

namespace Tsl {

class MemStream : public Stream {
public:
    // An empty, growable write stream.
    MemStream();
    // A read-only stream over the caller's bytes. Without bCopy the bytes are
    // not copied and must outlive the stream.
    MemStream(const void* pData, int nSize, bool bCopy = false);
    ~MemStream() override;

    int read(void* pBuffer, int nSize) override;
    int write(const void* pData, int nSize) override;
    int64_t tell() const override { return m_nPos; }
    bool seek(int64_t nOffset, SeekOrigin eOrigin = eSeekSet) override;
    int64_t getSize() const override { return m_nSize; }
    bool canRead() const override { return !m_bWritable; }
    bool canWrite() const override { return m_bWritable; }
    String getName() const override { return "memory"; }

    // The stream's bytes (getSize of them).
    const unsigned char* getData() const;
    // A new read-only stream over the bytes written so far; the caller owns it.
    MemStream* createReadStream() const;

private:
    MemStream(const MemStream&) = delete;
    MemStream& operator=(const MemStream&) = delete;

    struct Buffer : public RefCountedObject {
        std::vector<unsigned char> m_aBytes;
    };

    SmartPtr<Buffer> m_pBuffer;           // owned bytes (write streams and copies)
    const unsigned char* m_pExternal;     // the caller's bytes otherwise
    int m_nSize;
    int m_nPos;
    bool m_bWritable;
};

} // namespace Tsl
