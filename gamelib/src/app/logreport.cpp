// The log report: the log deflated and encoded for a URL query.
#include "app/gameapp.h"

#include "platform/encoding.h"

#include "tsl2/file.h"
#include "tsl2/memstream.h"
#include "tsl2/zstream.h"

#include <cstdio>
#include <memory>
#include <vector>

namespace {
const char* const REPORT_SUFFIX = ".report";
} // namespace

Tsl::String GameApp::makeLogReport(const char* pszLogFile) {
    TSL_TRACE();
    Tsl::SmartPtr<Tsl::File> pLog = new Tsl::File(pszLogFile, Tsl::File::eRead);
    Tsl::SmartPtr<Tsl::MemStream> pPacked = new Tsl::MemStream();
    {
        Tsl::SmartPtr<Tsl::ZStream> pZip = new Tsl::ZStream(pPacked.get(), 9);
        std::vector<char> aBuffer(16384);
        int nRead = 0;
        while ((nRead = pLog->read(aBuffer.data(), int(aBuffer.size()))) > 0) pZip->write(aBuffer.data(), nRead);
        pZip->close();
    }
    return encodeBytes(pPacked->getData(), int(pPacked->getSize()));
}

Tsl::String GameApp::saveLogReport(const char* pszLogFile) {
    TSL_TRACE();
    Tsl::String sReportFile = Tsl::String(pszLogFile) + REPORT_SUFFIX;
    Tsl::String sTemporary = sReportFile + ".tmp";
    try {
        Tsl::String sReport = makeLogReport(pszLogFile);
        {
            Tsl::SmartPtr<Tsl::File> pOut = new Tsl::File(sTemporary, Tsl::File::eWrite);
            pOut->write(sReport.c_str(), sReport.getLength());
            pOut->flush();
            pOut->close();
        }
        if (std::rename(sTemporary.c_str(), sReportFile.c_str()) != 0)
            TSL_THROW(FileAccessException, "could not rename '%s' to '%s'", sTemporary.c_str(), sReportFile.c_str());
    } catch (const Tsl::Exception& e) {
        std::remove(sTemporary.c_str());
        log("U: No log report: %s\n", e.getMessage());
        return Tsl::String();
    }
    log("U: Log report written to %s\n", sReportFile.c_str());
    return sReportFile;
}

Tsl::String GameApp::readLogReport(const Tsl::String& sReport) {
    TSL_TRACE();
    Tsl::SmartPtr<Tsl::MemStream> pPacked = decodeBytes(sReport.c_str());
    Tsl::SmartPtr<Tsl::ZStream> pZip = new Tsl::ZStream(pPacked.get(), Tsl::ZStream::DEFAULT_LEVEL);
    Tsl::String sLog;
    std::vector<char> aBuffer(16384);
    int nRead = 0;
    while ((nRead = pZip->read(aBuffer.data(), int(aBuffer.size()))) > 0) sLog += Tsl::String(aBuffer.data(), nRead);
    return sLog;
}
