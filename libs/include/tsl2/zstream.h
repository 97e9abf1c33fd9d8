// zlib compression as a stream, in one direction only.
//
// Over a readable target with level -1 it inflates what it reads from the
// target; over a writable target it deflates what is written into it (level
// 0..9, -1 for zlib's default) and finishes the zlib stream on close or
// destruction. Corrupt or truncated compressed data raises
// BadStreamFormatException naming the target.
#pragma once

#include "tsl2/stream.h"

#include <vector>
#include <zlib.h>

namespace Tsl {

class ZStream : public Stream {
public:
    enum { DEFAULT_LEVEL = -1, BUFFER_SIZE = 65536 };

    // With bOwnTarget the target is deleted with this stream.
    ZStream(Stream* pTarget, int nLevel = DEFAULT_LEVEL, bool bOwnTarget = false);
    ~ZStream() override;

    int read(void* pBuffer, int nSize) override;
    int write(const void* pData, int nSize) override;
    // Uncompressed bytes read or written so far.
    int64_t tell() const override;
    bool seek(int64_t, SeekOrigin = eSeekSet) override { return false; }
    int64_t getSize() const override { return -1; }
    bool canRead() const override { return !m_bWriting; }
    bool canWrite() const override { return m_bWriting; }
    String getName() const override;
    // Pushes out everything written so far (a zlib sync point).
    void flush() override;

    // Writes the end of the zlib stream; later writes raise. Idempotent.
    void close();

private:
    ZStream(const ZStream&) = delete;
    ZStream& operator=(const ZStream&) = delete;
    void deflateAll(int nFlush);
    bool refillInput();

    Stream* m_pTarget;
    bool m_bOwnTarget;
    bool m_bWriting;
    bool m_bFinished;
    z_stream m_zs;
    std::vector<unsigned char> m_aBuffer;
};

} // namespace Tsl
