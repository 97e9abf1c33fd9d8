#include "anim/animationsaver.h"

#include <cstring>
#include <memory>
#include <vector>

AnimationSaver::AnimationSaver() : m_pArchive(nullptr), m_nSequence(0), m_nFrame(-1) {}

AnimationSaver::~AnimationSaver() {}

void AnimationSaver::save(Tsl::SmartPtr<Animation> pAnimation, Tsl::ResourceFileCompiler* pArchive,
                          const char* pszName) {
    TSL_TRACE();
    Tsl::traceSetNote(pszName);
    begin(pAnimation, pArchive, pszName);
    while (!isDone()) step();
}

void AnimationSaver::begin(Tsl::SmartPtr<Animation> pAnimation, Tsl::ResourceFileCompiler* pArchive,
                           const char* pszName) {
    TSL_TRACE();
    TSL_ASSERT(pAnimation && pArchive);
    m_sName = pszName;
    m_pStream = new Tsl::MemStream();
    m_pAnimation = pAnimation;
    m_pArchive = pArchive;
    checkAnimation();
    writeLine(Tsl::String::format("fps %5.2lf", static_cast<double>(m_pAnimation->getFps())));
    // An animation without sequences has no default to name (and stores nothing).
    if (!m_pAnimation->isEmpty()) {
        Tsl::String sDefault = m_pAnimation->getDefaultSequence();
        checkWord(sDefault, "default sequence", false);
        writeLine("default " + sDefault);
    }
    writeProps(m_pAnimation->getRef(), m_pStream);
    m_hImageNames.clear();
    m_lSequences = m_pAnimation->getSequenceNames();
    m_nFrame = -1;
    m_nSequence = 0;
}

int AnimationSaver::step() {
    TSL_TRACE();
    if (isDone()) return 0;
    Tsl::String sSequence = m_lSequences.getFirst();
    int nLines = 0;
    if (m_nFrame == -1) {
        nLines += writeHeader(sSequence);
        m_nFrame = 0;
    }
    if (m_nFrame < m_pAnimation->getFrameCount(sSequence))
        nLines += writeFrame(sSequence);
    else
        finishSequence();
    return nLines;
}

int AnimationSaver::writeHeader(const Tsl::String& sSequence) {
    checkWord(sSequence, "sequence name", false);
    Tsl::String sLine = "seq " + sSequence;
    if (m_pAnimation->isSequenceLooped(sSequence)) sLine += " loop";
    float fFps = m_pAnimation->getSequenceFps(sSequence);
    // On the seq line a rate of 0 means the animation's rate, so a sequence
    // that really has rate 0 (a still) gets it from an fps line of its own.
    bool bStill = fFps == 0.0f && m_pAnimation->getFps() != 0.0f;
    if (fFps != m_pAnimation->getFps() && !bStill)
        sLine += Tsl::String::format(" fps %5.2lf", static_cast<double>(fFps));
    writeLine(sLine);
    int nLines = 1;
    if (bStill) {
        writeLine(Tsl::String::format("fps %5.2lf", 0.0));
        ++nLines;
    }
    return nLines + writeProps(m_pAnimation->getSequence(sSequence), m_pStream);
}

int AnimationSaver::writeFrame(const Tsl::String& sSequence) {
    Tsl::SmartPtr<FrameData> pFrame = m_pAnimation->getFrameData(sSequence, m_nFrame);
    Image* pImage = pFrame->getImage().get();
    TSL_ASSERT(pImage);  // checked by begin
    int nLines = 0;
    if (!m_hImageNames.hasKey(pImage)) {
        Tsl::String sFileName = Tsl::String::format("%s_%d_%X.bbb", m_sName.c_str(), m_nSequence, m_nFrame);
        checkWord(sFileName, "picture name", false);
        m_hImageNames.set(pImage, sFileName);
        exportPicture(pImage, sFileName);
        // The reader resets a loaded picture's insertion point, so it is written back.
        writeLine("load " + sFileName);
        ++nLines;
        if (pImage->getInsPointX() != 0 || pImage->getInsPointY() != 0) {
            writeLine(Tsl::String::format("inspos %d %d %s", pImage->getInsPointX(), pImage->getInsPointY(),
                                          sFileName.c_str()));
            ++nLines;
        }
    }
    Tsl::String sLine = "add " + m_hImageNames.get(pImage);
    if (pFrame->getRepeat() != 1) sLine += Tsl::String::format(" repeat %d", pFrame->getRepeat());
    writeLine(sLine);
    ++m_nFrame;
    return nLines + 1 + writeProps(pFrame, m_pStream);
}

void AnimationSaver::finishSequence() {
    m_nFrame = -1;
    m_lSequences.removeFirst();
    ++m_nSequence;
    if (!m_lSequences.isEmpty()) return;
    std::unique_ptr<Tsl::MemStream> pText(m_pStream->createReadStream());
    m_pArchive->addResource(pText.get(), m_sName);
}

void AnimationSaver::checkProps(const PropHolder& holder) const {
    for (const Tsl::String& sKey : holder.getPropKeys()) {
        checkWord(sKey, "property name", false);
        checkWord(holder.getProp(sKey, false), "property value", true);
    }
}

void AnimationSaver::checkAnimation() const {
    checkProps(*m_pAnimation);
    for (const Tsl::String& sSequence : m_pAnimation->getSequenceNames()) {
        checkWord(sSequence, "sequence name", false);
        Tsl::SmartPtr<Sequence> pSequence = m_pAnimation->getSequence(sSequence);
        checkProps(*pSequence);
        for (const Tsl::SmartPtr<FrameData>& pFrame : pSequence->getFrames()) {
            if (!pFrame->getImage())
                TSL_THROW(BadParmException, "AnimationSaver : %s : a frame of %s has no picture", m_sName.c_str(),
                          sSequence.c_str());
            checkProps(*pFrame);
        }
    }
}

int AnimationSaver::writeProps(Tsl::SmartPtr<PropHolder> pHolder, Tsl::SmartPtr<Tsl::Stream> pStream) {
    int nLines = 0;
    for (const Tsl::String& sKey : pHolder->getPropKeys()) {
        Tsl::String sValue = pHolder->getProp(sKey, false);
        checkWord(sKey, "property name", false);
        checkWord(sValue, "property value", true);
        Tsl::String sLine = Tsl::String::format("prop %s %s\n", sKey.c_str(), sValue.c_str());
        pStream->writeText(sLine);
        ++nLines;
    }
    return nLines;
}

void AnimationSaver::writeLine(const Tsl::String& sLine) {
    m_pStream->writeText(sLine);
    m_pStream->writeText("\n");
}

void AnimationSaver::checkWord(const Tsl::String& sWord, const char* pszWhat, bool bMayBeEmpty) const {
    // The reader splits lines at blanks, cuts them at "#" and substitutes "(...)" only
    // for parameters and macros, which a written file never defines.
    bool bBad = (!bMayBeEmpty && sWord.isEmpty()) || static_cast<int>(std::strlen(sWord.c_str())) != sWord.getLength();
    for (int i = 0; i < sWord.getLength() && !bBad; ++i) {
        char c = sWord[i];
        bBad = c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '#';
    }
    if (bBad)
        TSL_THROW(BadParmException, "AnimationSaver : %s : %s '%s' would not read back as one word", m_sName.c_str(),
                  pszWhat, sWord.c_str());
}

Tsl::String AnimationSaver::getPictureEntryName(const Tsl::String& sFileName) { return sFileName.toLower() + ".tga"; }

void AnimationSaver::exportPicture(Image* pImage, const Tsl::String& sFileName) {
    TSL_TRACE();
    int nWidth = pImage->getWidth(), nHeight = pImage->getHeight();
    if (nWidth > 0xFFFF || nHeight > 0xFFFF)
        TSL_THROW(BadParmException, "AnimationSaver : %s : picture %s is too large (%dx%d)", m_sName.c_str(),
                  sFileName.c_str(), nWidth, nHeight);
    // Uncompressed 32-bit TGA, rows from the top: the canvas as it is seen, with
    // trimmed margins and colour-keyed pixels clear.
    std::vector<unsigned char> aBytes(18, 0);
    aBytes[2] = 2;
    aBytes[12] = static_cast<unsigned char>(nWidth);
    aBytes[13] = static_cast<unsigned char>(nWidth >> 8);
    aBytes[14] = static_cast<unsigned char>(nHeight);
    aBytes[15] = static_cast<unsigned char>(nHeight >> 8);
    aBytes[16] = 32;
    aBytes[17] = 0x28;
    aBytes.reserve(18 + static_cast<size_t>(nWidth) * nHeight * 4);
    Rect pixels = pImage->getPhysicalCanvasRect();
    bool bAlpha = pImage->hasAlpha();
    for (int y = 0; y < nHeight; ++y) {
        for (int x = 0; x < nWidth; ++x) {
            Color c = pixels.contains(x, y) ? pImage->getColorAt(x, y) : Color(0, 0, 0, 0);
            if (!bAlpha && pixels.contains(x, y)) c.a = 255;
            if (pixels.contains(x, y) && pImage->isTransparentAt(x, y, 0)) c.a = 0;
            aBytes.insert(aBytes.end(), {c.b, c.g, c.r, c.a});
        }
    }
    Tsl::MemStream picture(aBytes.data(), static_cast<int>(aBytes.size()));
    m_pArchive->addResource(&picture, getPictureEntryName(sFileName));
}
