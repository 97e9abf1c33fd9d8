#include "tsl2/zstream.h"

#include <cstring>

namespace Tsl {

ZStream::ZStream(Stream* pTarget, int nLevel, bool bOwnTarget)
    : m_pTarget(pTarget), m_bOwnTarget(bOwnTarget), m_bWriting(false), m_bFinished(false),
      m_aBuffer(BUFFER_SIZE) {
    TSL_TRACE();
    TSL_ASSERT(pTarget);
    std::memset(&m_zs, 0, sizeof(m_zs));
    int nResult = Z_OK;
    if (nLevel == DEFAULT_LEVEL && pTarget->canRead()) {
        nResult = inflateInit(&m_zs);
    } else if (pTarget->canWrite()) {
        m_bWriting = true;
        nResult = deflateInit(&m_zs, nLevel);
    } else {
        String sName = pTarget->getName();
        if (bOwnTarget) delete pTarget;
        TSL_THROW(BadParmException, "ZStream over %s : target can't be read with level -1 nor written",
                  sName.c_str());
    }
    if (nResult != Z_OK) {
        String sName = pTarget->getName();
        if (bOwnTarget) delete pTarget;
        TSL_THROW(BadParmException, "ZStream over %s : zlib init failed (%d, level %d)", sName.c_str(), nResult,
                  nLevel);
    }
}

ZStream::~ZStream() {
    if (m_bWriting) {
        // A destructor must not throw; a caller who cares about write errors
        // calls close() first.
        try {
            close();
        } catch (const Exception&) {
        }
        deflateEnd(&m_zs);
    } else {
        inflateEnd(&m_zs);
    }
    if (m_bOwnTarget) delete m_pTarget;
}

String ZStream::getName() const { return m_pTarget->getName(); }

int64_t ZStream::tell() const { return static_cast<int64_t>(m_bWriting ? m_zs.total_in : m_zs.total_out); }

bool ZStream::refillInput() {
    int nRead = m_pTarget->read(m_aBuffer.data(), static_cast<int>(m_aBuffer.size()));
    if (nRead <= 0) return false;
    m_zs.next_in = m_aBuffer.data();
    m_zs.avail_in = static_cast<uInt>(nRead);
    return true;
}

int ZStream::read(void* pBuffer, int nSize) {
    TSL_TRACE();
    if (m_bWriting || m_bFinished || nSize <= 0) return 0;
    m_zs.next_out = static_cast<Bytef*>(pBuffer);
    m_zs.avail_out = static_cast<uInt>(nSize);
    while (m_zs.avail_out > 0) {
        if (m_zs.avail_in == 0 && !refillInput())
            TSL_THROW(BadStreamFormatException, "Truncated compressed data in %s", getName().c_str());
        int nResult = inflate(&m_zs, Z_NO_FLUSH);
        if (nResult == Z_STREAM_END) {
            m_bFinished = true;
            break;
        }
        if (nResult != Z_OK)
            TSL_THROW(BadStreamFormatException, "Corrupt compressed data in %s : %s", getName().c_str(),
                      m_zs.msg ? m_zs.msg : "inflate failed");
    }
    return nSize - static_cast<int>(m_zs.avail_out);
}

void ZStream::deflateAll(int nFlush) {
    TSL_TRACE();
    do {
        m_zs.next_out = m_aBuffer.data();
        m_zs.avail_out = static_cast<uInt>(m_aBuffer.size());
        int nResult = deflate(&m_zs, nFlush);
        if (nResult == Z_STREAM_ERROR)
            TSL_THROW(BadStateException, "ZStream : deflate failed for %s", getName().c_str());
        int nHave = static_cast<int>(m_aBuffer.size() - m_zs.avail_out);
        if (nHave > 0 && m_pTarget->write(m_aBuffer.data(), nHave) != nHave)
            TSL_THROW(FileAccessException, "ZStream : can't write compressed data to %s", getName().c_str());
        if (nFlush == Z_FINISH && nResult == Z_STREAM_END) return;
    } while (m_zs.avail_out == 0 || (nFlush == Z_FINISH));
}

int ZStream::write(const void* pData, int nSize) {
    TSL_TRACE();
    if (!m_bWriting || nSize <= 0) return 0;
    if (m_bFinished) TSL_THROW(BadStateException, "ZStream : write after close on %s", getName().c_str());
    m_zs.next_in = static_cast<Bytef*>(const_cast<void*>(pData));
    m_zs.avail_in = static_cast<uInt>(nSize);
    while (m_zs.avail_in > 0) deflateAll(Z_NO_FLUSH);
    return nSize;
}

void ZStream::flush() {
    if (!m_bWriting || m_bFinished) return;
    m_zs.avail_in = 0;
    deflateAll(Z_SYNC_FLUSH);
    m_pTarget->flush();
}

void ZStream::close() {
    TSL_TRACE();
    if (!m_bWriting || m_bFinished) return;
    m_bFinished = true;
    m_zs.next_in = nullptr;
    m_zs.avail_in = 0;
    deflateAll(Z_FINISH);
    m_pTarget->flush();
}

} // namespace Tsl
