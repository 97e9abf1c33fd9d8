#include "anim/animationloader.h"

#include "app/alignment.h"
#include "app/gameapp.h"

#include "tsl2/resource.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdlib>

namespace {

// Pending lines after an include.
const int MAX_PENDING_LINES = 1 << 20;
// Numbers of numbered forms and alignment coordinates stay far from the int range.
const long long MAX_NUMBER = 1000000000LL;
const long long MAX_COORDINATE = 1000000LL;

GameApp& app() {
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) TSL_THROW(BadStateException, "AnimationLoader : no application to load from");
    return *pApp;
}

} // namespace

// Least token counts count the command word; numbered forms need the plain
// form's tokens plus the two ends of the range.
const AnimationLoader::Command AnimationLoader::s_aCommands[] = {
    {"load", 2, false, &AnimationLoader::cmdLoad},
    {"clone", 3, false, &AnimationLoader::cmdClone},
    {"remove", 2, true, &AnimationLoader::cmdRemove},
    {"hflip", 2, false, &AnimationLoader::cmdHFlip},
    {"vflip", 2, false, &AnimationLoader::cmdVFlip},
    {"multiplyalpha", 3, false, &AnimationLoader::cmdMultiplyAlpha},
    {"remap", 3, false, &AnimationLoader::cmdRemap},
    {"inspos", 4, true, &AnimationLoader::cmdInsPos},
    {"blit", 3, false, &AnimationLoader::cmdBlit},
    {"rblit", 3, false, &AnimationLoader::cmdRBlit},
    {"seq", 2, true, &AnimationLoader::cmdSeq},
    {"default", 2, true, &AnimationLoader::cmdDefault},
    {"fps", 2, true, &AnimationLoader::cmdFps},
    {"add", 2, true, &AnimationLoader::cmdAdd},
    {"copyseq", 2, false, &AnimationLoader::cmdCopySeq},
    {"alias", 2, false, &AnimationLoader::cmdAlias},
    {"prop", 2, true, &AnimationLoader::cmdProp},
    {"frameprop", 3, true, &AnimationLoader::cmdFrameProp},
    {"define", 3, false, &AnimationLoader::cmdDefine},
    {"param", 1, true, &AnimationLoader::cmdParam},
    {"parm", 1, true, &AnimationLoader::cmdParam},
    {"params", 2, true, &AnimationLoader::cmdParams},
    {"parms", 2, true, &AnimationLoader::cmdParams},
    {"clearparams", 1, true, &AnimationLoader::cmdClearParams},
    {"clearparms", 1, true, &AnimationLoader::cmdClearParams},
    {"include", 2, false, &AnimationLoader::cmdInclude},
    {"if", 1, true, &AnimationLoader::cmdIf},
    {"elif", 1, true, &AnimationLoader::cmdElif},
    {"else", 1, true, &AnimationLoader::cmdElse},
    {"endif", 1, true, &AnimationLoader::cmdEndIf},
    {"mload", 4, true, &AnimationLoader::setUpNumberedForm},
    {"mclone", 5, true, &AnimationLoader::setUpNumberedForm},
    {"mhflip", 4, true, &AnimationLoader::setUpNumberedForm},
    {"mvflip", 4, true, &AnimationLoader::setUpNumberedForm},
    {"madd", 4, true, &AnimationLoader::setUpNumberedForm},
    {"mblit", 5, true, &AnimationLoader::setUpNumberedForm},
    {"minspos", 6, true, &AnimationLoader::setUpNumberedForm},
};

AnimationLoader::AnimationLoader()
    : m_nLastFrame(-1),
      m_nLine(0),
      m_nLineCount(0),
      m_nMultiCur(0),
      m_nMultiEnd(0),
      m_nMultiWidth(-1),
      m_bMultiActive(false),
      m_nIfBlockNesting(0),
      m_nLineFileDepth(0),
      m_nSliceLines(0),
      m_nWork(0),
      m_nFrames(0) {}

AnimationLoader::~AnimationLoader() {}

const AnimationLoader::Command* AnimationLoader::findCommand(const Tsl::String& sWord) {
    for (const Command& command : s_aCommands)
        if (sWord == command.pszWord) return &command;
    return nullptr;
}

// ---- the caller's side -----------------------------------------------------------

void AnimationLoader::setParams(const Tsl::List<Tsl::String>& lParams) {
    m_lParams = lParams;
}

void AnimationLoader::begin(const char* pszName) {
    TSL_TRACE();
    insertFile(pszName);
    m_nLine = 0;
    m_pAnimation = new Animation(0.0f);
    m_pAnimation->setName(pszName);
    m_nFrames = 0;
    m_bMultiActive = false;
    m_nIfBlockNesting = 0;
}

bool AnimationLoader::isDone() const { return m_lLines.isEmpty() && !m_bMultiActive; }

Tsl::SmartPtr<Animation> AnimationLoader::load(const char* pszName) {
    TSL_TRACE();
    Tsl::traceSetNote(pszName);
    begin(pszName);
    while (!isDone()) parseNextLine();
    return getAnimation();
}

// ---- reading lines ---------------------------------------------------------------------

void AnimationLoader::insertFile(const char* pszName) {
    TSL_TRACE();
    Tsl::String sText = app().getResource(pszName)->getString();
    Tsl::List<Tsl::String> lLines = sText.split("\r\n");
    if (m_lLines.getCount() + lLines.getCount() > MAX_PENDING_LINES)
        fail("AnimationLoader : Include in %s, line %d : more than %d lines pending", animationName(), m_nLine,
             MAX_PENDING_LINES);
    m_lLines.prependList(lLines);
    m_nLineCount = m_lLines.getCount();
    m_aFiles.push_back(PendingFile{Tsl::String(pszName), lLines.getCount()});
}

int AnimationLoader::readNextLine() {
    int nConsumed = 0;
    m_sLine = "";
    m_lTokens.clear();
    while (!m_lLines.isEmpty()) {
        // A file leaves the include chain only once a line after it is read, so
        // an include on a file's last line still sees that file in the chain.
        while (!m_aFiles.empty() && m_aFiles.back().nLinesLeft <= 0) m_aFiles.pop_back();
        m_sLine = m_lLines.removeFirst();
        if (!m_aFiles.empty()) --m_aFiles.back().nLinesLeft;
        m_nLineFileDepth = static_cast<int>(m_aFiles.size());
        ++m_nLine;
        ++nConsumed;
        int nComment = m_sLine.find('#');
        if (nComment >= 0) m_sLine = m_sLine.left(nComment);
        m_sLine = m_sLine.trim();
        if (m_sLine.isEmpty()) continue;
        substitute();
        m_sLine = m_sLine.trim();
        if (!m_sLine.isEmpty()) break;
    }
    m_nSliceLines += nConsumed;
    if (!m_sLine.isEmpty()) m_lTokens = m_sLine.split(" \t");
    return nConsumed;
}

void AnimationLoader::replaceInLine(const Tsl::String& sWhat, const Tsl::String& sWith) {
    int nCount = 0;
    for (int nPos = m_sLine.find(sWhat); nPos >= 0; nPos = m_sLine.find(sWhat, nPos + sWhat.getLength())) ++nCount;
    if (nCount == 0) return;
    // Macros that expand into macros could otherwise double a line per definition.
    long long nLength = m_sLine.getLength() + static_cast<long long>(nCount) * (sWith.getLength() - sWhat.getLength());
    if (nLength > MAX_LINE_LENGTH)
        fail("AnimationLoader : Line in %s, line %d : longer than %d characters after replacing %s",
             animationName(), m_nLine, MAX_LINE_LENGTH, sWhat.c_str());
    m_sLine = m_sLine.replaceAll(sWhat.c_str(), sWith.c_str());
}

void AnimationLoader::substitute() {
    if (m_sLine.find('(') < 0) return;
    int nIndex = 0;
    for (const Tsl::String& sParam : m_lParams) replaceInLine(Tsl::String::format("(%d)", nIndex++), sParam);
    Tsl::List<Tsl::String> lNames = m_hDefines.getKeys();
    for (const Tsl::String& sName : lNames) replaceInLine("(" + sName + ")", m_hDefines.get(sName));
}

// ---- one slice -------------------------------------------------------------------------

int AnimationLoader::parseNextLine() {
    TSL_TRACE();
    m_nSliceLines = 0;
    try {
        runSlice();
    } catch (const AnimationParserException&) {
        throw;
    } catch (Tsl::Exception& e) {
        // A deeper error keeps its type and learns the file and line.
        e.appendToMessage(Tsl::String::format(" (%s, line %d)", animationName(), m_nLine).c_str());
        throw;
    }
    return m_nSliceLines;
}

void AnimationLoader::runSlice() {
    int nExecuted = 0;
    for (;;) {
        bool bStop = true;
        if (m_bMultiActive) {
            nextNumber();
        } else {
            readNextLine();
            Tsl::traceSetNote(Tsl::String::format("%d %s", m_nLine, m_sLine.c_str()));
        }
        if (m_lTokens.isEmpty()) break;
        m_sCommand = token(0).toLower();
        int nCount = 1;
        if (m_sCommand == "repeat") {
            nCount = Tsl::String::toInt(token(1));
            m_lTokens.removeFirst();
            m_lTokens.removeFirst();
            m_sCommand = token(0).toLower();
        }
        // Each run gets the line's tokens afresh: a numbered form or a skipped
        // block replaces them.
        Tsl::List<Tsl::String> lTokens;
        if (nCount > 1) lTokens = m_lTokens;
        for (int i = 0; i < nCount; ++i) {
            if (i > 0) m_lTokens = lTokens;
            if (runCommand()) {
                ++nExecuted;
                bStop = false;
            }
        }
        if (nExecuted > LIGHT_COMMANDS_PER_SLICE) bStop = true;
        if (bStop || isDone()) break;
    }
}

bool AnimationLoader::runCommand() {
    const Command* pCommand = findCommand(m_sCommand);
    if (!pCommand)
        fail("AnimationLoader : Unknown command '%s' in %s, line %d", m_sCommand.c_str(), animationName(), m_nLine);
    countWork(1);
    checkTokenCount(pCommand->nLeastTokens);
    (this->*pCommand->pfnRun)();
    return pCommand->bLight;
}

void AnimationLoader::countWork(int nAmount) {
    m_nWork += nAmount;
    if (m_nWork > MAX_WORK)
        fail("AnimationLoader : %s in %s, line %d : more than %d commands, frames and image operations",
             m_sCommand.c_str(), animationName(), m_nLine, MAX_WORK);
}

// ---- checks and errors -------------------------------------------------------------------

const char* AnimationLoader::animationName() const { return m_pAnimation ? m_pAnimation->getName().c_str() : ""; }

void AnimationLoader::fail(const char* pszFormat, ...) const {
    va_list args;
    va_start(args, pszFormat);
    Tsl::String sMessage = Tsl::String::formatV(pszFormat, args);
    va_end(args);
    throw AnimationParserException(__FILE__, __LINE__, sMessage.c_str());
}

void AnimationLoader::checkTokenCount(int nLeast) {
    if (m_lTokens.getCount() < nLeast)
        fail("AnimationLoader : Command %s in %s, line %d : need %d tokens", m_sCommand.c_str(), animationName(),
             m_nLine, nLeast);
}

void AnimationLoader::checkImage(const Tsl::String& sName) {
    if (!m_hImages.hasKey(sName))
        fail("AnimationLoader : %s in %s, line %d : image %s not found (seq %s)", m_sCommand.c_str(), animationName(),
             m_nLine, sName.c_str(), m_sSequence.c_str());
}

Tsl::SmartPtr<Image> AnimationLoader::image(const Tsl::String& sName) {
    checkImage(sName);
    return m_hImages.get(sName);
}

void AnimationLoader::selectImages(int nTokenIndex) {
    Tsl::String sName = token(nTokenIndex);
    if (sName.toLower() == "all") {
        m_lSelection = m_hImages.getValues();
    } else {
        m_lSelection.clear();
        m_lSelection.append(image(sName));
    }
    countWork(m_lSelection.getCount());
}

Tsl::List<Tsl::String> AnimationLoader::namesFrom(int nTokenIndex) {
    Tsl::String sName = token(nTokenIndex);
    Tsl::List<Tsl::String> lNames;
    if (sName.toLower() == "all") {
        lNames = m_hImages.getKeys();
    } else {
        checkImage(sName);
        lNames.append(sName);
    }
    countWork(lNames.getCount());
    return lNames;
}

int AnimationLoader::coordinate(int nTokenIndex, const Tsl::SmartPtr<Image>& pImage, bool bHorizontal) {
    Tsl::String sText = token(nTokenIndex);
    // Both numbers of "base+offset" must stay far from the int range, where the sum would wrap.
    int nSign = sText.find('+');
    if (nSign < 0) nSign = sText.find('-');
    long long nBase = std::strtoll(sText.c_str(), nullptr, 10);
    long long nOffset = nSign < 0 ? 0 : std::strtoll(sText.c_str() + nSign, nullptr, 10);
    if (std::llabs(nBase) > MAX_COORDINATE || std::llabs(nOffset) > MAX_COORDINATE)
        fail("AnimationLoader : %s in %s, line %d : coordinate %s out of range", m_sCommand.c_str(), animationName(),
             m_nLine, sText.c_str());
    return parseAlignment(sText, pImage, bHorizontal);
}

int AnimationLoader::addFrame(Tsl::SmartPtr<Image> pImage, int nRepeat) {
    countWork(1);
    // A repeated copyseq doubles a sequence each time: the bound stops it
    // long before memory runs out. Real files stay far below it.
    if (++m_nFrames > MAX_FRAMES)
        fail("AnimationLoader : %s in %s, line %d : more than %d frames", m_sCommand.c_str(), animationName(), m_nLine,
             MAX_FRAMES);
    return m_pAnimation->addFrame(m_sSequence, pImage, nRepeat);
}

// ---- numbered forms --------------------------------------------------------------------------

void AnimationLoader::setUpNumberedForm() {
    int nCount = m_lTokens.getCount();
    Tsl::String sFrom = token(nCount - 2), sTo = token(nCount - 1);
    long long nFrom = std::strtoll(sFrom.c_str(), nullptr, 10), nTo = std::strtoll(sTo.c_str(), nullptr, 10);
    if (std::llabs(nFrom) > MAX_NUMBER || std::llabs(nTo) > MAX_NUMBER || std::llabs(nTo - nFrom) >= MAX_NUMBERED_RUN)
        fail("AnimationLoader : %s in %s, line %d : range %s to %s out of bounds", m_sCommand.c_str(), animationName(),
             m_nLine, sFrom.c_str(), sTo.c_str());
    m_nMultiCur = static_cast<int>(nFrom);
    m_nMultiEnd = static_cast<int>(nTo);
    m_nMultiWidth = -1;
    bool bPadded = (sFrom != "0" && sFrom[0] == '0') || (sTo != "0" && sTo[0] == '0');
    if (bPadded) m_nMultiWidth = sFrom.getLength() > sTo.getLength() ? sFrom.getLength() : sTo.getLength();
    // Stepped back once: every step, the first included, moves first.
    m_nMultiCur += m_nMultiCur > m_nMultiEnd ? 1 : -1;

    m_lMultiTokens.clear();
    for (int i = 0; i < nCount - 2; ++i) m_lMultiTokens.append(i == 0 ? token(0).substringFrom(1) : token(i));
    m_lMultiPositions.clear();
    m_lMultiPositions.append(m_sCommand == "minspos" ? 3 : 1);
    if (m_sCommand == "mclone" || m_sCommand == "mblit") m_lMultiPositions.append(2);

    bool bHasMark = false;
    for (int nPosition : m_lMultiPositions) bHasMark = bHasMark || m_lMultiTokens.getAt(nPosition).find('$') >= 0;
    if (!bHasMark) {
        Tsl::List<Tsl::String> lMarked;
        int nIndex = 0;
        for (const Tsl::String& sToken : m_lMultiTokens)
            lMarked.append(m_lMultiPositions.indexOf(nIndex++) >= 0 ? sToken + "$" : sToken);
        m_lMultiTokens = lMarked;
    }
    m_bMultiActive = true;
}

void AnimationLoader::nextNumber() {
    if (m_nMultiCur != m_nMultiEnd) m_nMultiCur += m_nMultiCur < m_nMultiEnd ? 1 : -1;
    Tsl::String sNumber = m_nMultiWidth == -1 ? Tsl::String::format("%d", m_nMultiCur)
                                              : Tsl::String::format("%0*d", m_nMultiWidth, m_nMultiCur);
    m_lTokens.clear();
    int nIndex = 0;
    for (const Tsl::String& sToken : m_lMultiTokens)
        m_lTokens.append(m_lMultiPositions.indexOf(nIndex++) >= 0 ? sToken.replaceAll("$", sNumber) : sToken);
    if (m_nMultiCur == m_nMultiEnd) m_bMultiActive = false;
}

// ---- image commands --------------------------------------------------------------------------

void AnimationLoader::cmdLoad() {
    Tsl::String sName = token(1);
    // Always a view of its own: an inspos here must never move the cached
    // picture, and with it another file's frames.
    Tsl::SmartPtr<Image> pImage = app().getImage(sName)->clone(false);
    pImage->setInsPoint(0, 0);
    m_hImages.set(sName, pImage);
}

void AnimationLoader::cmdClone() { m_hImages.set(token(2), image(token(1))->clone(false)); }

void AnimationLoader::cmdRemove() {
    Tsl::String sName = token(1);
    if (sName == "all")
        m_hImages.clear();
    else
        m_hImages.remove(sName);
}

template <class Change>
void AnimationLoader::changeCopies(int nTokenIndex, Change change) {
    // Each image gets a copy of its own first: the picture may be shared
    // with the cache or with frames already added.
    for (const Tsl::String& sName : namesFrom(nTokenIndex)) {
        Tsl::SmartPtr<Image> pCopy = m_hImages.get(sName)->clone(false);
        m_hImages.set(sName, pCopy);
        change(*pCopy);
    }
}

void AnimationLoader::cmdHFlip() {
    changeCopies(1, [](Image& image) { image.flipHorizontal(); });
}

void AnimationLoader::cmdVFlip() {
    changeCopies(1, [](Image& image) { image.flipVertical(); });
}

void AnimationLoader::cmdMultiplyAlpha() {
    double fFactor = std::trunc(std::atof(token(1)) * 255.0);
    // The low 8 bits; a value past any sensible range counts as 0.
    long long nFactor = std::isfinite(fFactor) && std::fabs(fFactor) < 1e15 ? static_cast<long long>(fFactor) : 0;
    unsigned char nAlpha = static_cast<unsigned char>(nFactor & 0xFF);
    changeCopies(2, [nAlpha](Image& image) { image.multiplyAlpha(nAlpha); });
}

void AnimationLoader::cmdRemap() {
    Tsl::String sSpec = token(1);
    int aChannels[3];
    for (int i = 0; i < 3; ++i) {
        char c = i < sSpec.getLength() ? sSpec[i] : '\0';
        aChannels[i] = c == 'r' ? 0 : c == 'g' ? 1 : 2;
    }
    changeCopies(2, [&aChannels](Image& image) { image.remapChannels(aChannels[0], aChannels[1], aChannels[2]); });
}

void AnimationLoader::cmdInsPos() {
    selectImages(3);
    for (const Tsl::SmartPtr<Image>& pImage : m_lSelection)
        pImage->setInsPoint(coordinate(1, pImage, true), coordinate(2, pImage, false));
}

void AnimationLoader::cmdBlit() {
    Tsl::SmartPtr<Image> pTarget = image(token(1));
    Tsl::SmartPtr<Image> pSource = image(token(2));
    int nX = m_lTokens.getCount() > 3 ? coordinate(3, pTarget, true) : 0;
    int nY = m_lTokens.getCount() > 4 ? coordinate(4, pTarget, false) : 0;
    Tsl::SmartPtr<Image> pCopy = pTarget->clone(false);
    pCopy->copyImage(pSource, nX, nY);
    m_hImages.set(token(1), pCopy);
}

void AnimationLoader::cmdRBlit() {
    Tsl::SmartPtr<Image> pTop = image(token(1));
    Tsl::SmartPtr<Image> pCopy = image(token(2))->clone(false);
    // Measured, like blit, against the picture that receives the copy.
    int nX = m_lTokens.getCount() > 3 ? coordinate(3, pCopy, true) : 0;
    int nY = m_lTokens.getCount() > 4 ? coordinate(4, pCopy, false) : 0;
    pCopy->copyImage(pTop, nX, nY);
    m_hImages.set(token(1), pCopy);
}

// ---- sequences and frames ----------------------------------------------------------------------

void AnimationLoader::cmdSeq() {
    Tsl::String sName = token(1);
    if (!m_pAnimation->hasSequence(sName)) {
        bool bLoop = false;
        float fFps = 0.0f;
        for (int i = 2; i < m_lTokens.getCount(); ++i) {
            Tsl::String sOption = token(i);
            if (sOption == "fps" && i + 1 < m_lTokens.getCount())
                fFps = Tsl::String::toFloat(token(++i));
            else if (sOption == "loop")
                bLoop = true;
            else
                fail("AnimationLoader : Seq in %s, line %d : error at token %s", animationName(), m_nLine,
                     sOption.c_str());
        }
        m_pAnimation->createSequence(sName, bLoop, fFps);
    }
    m_sSequence = sName;
    m_nLastFrame = m_pAnimation->getFrameCount(sName) - 1;
}

void AnimationLoader::cmdDefault() { m_pAnimation->setDefaultSequence(token(1)); }

void AnimationLoader::cmdFps() {
    float fFps = Tsl::String::toFloat(token(1));
    if (m_sSequence.isEmpty())
        m_pAnimation->setFps(fFps);
    else
        m_pAnimation->setSequenceFps(m_sSequence, fFps);
}

void AnimationLoader::cmdAdd() {
    if (m_sSequence.isEmpty())
        fail("AnimationLoader : Add in %s, line %d : no current sequence", animationName(), m_nLine);
    selectImages(1);
    int nRepeat = 1;
    for (int i = 2; i < m_lTokens.getCount(); ++i) {
        Tsl::String sOption = token(i);
        if (sOption == "reverse")
            m_lSelection.reverse();
        else if (sOption == "repeat" && i + 1 < m_lTokens.getCount())
            nRepeat = Tsl::String::toInt(token(++i));
        else
            fail("AnimationLoader : Add in %s, line %d : error at token %s", animationName(), m_nLine, sOption.c_str());
    }
    for (const Tsl::SmartPtr<Image>& pImage : m_lSelection) m_nLastFrame = addFrame(pImage, nRepeat);
}

void AnimationLoader::cmdCopySeq() {
    // Every sequence was made by seq, so a found source means a current sequence.
    Tsl::SmartPtr<Sequence> pSource = m_pAnimation->getSequence(token(1));
    bool bReverse = m_lTokens.getCount() > 2 && token(2).toLower() == "reverse";
    // The frames are taken first: the source may be the sequence that grows,
    // and walking a list backwards while appending to it costs a walk per frame.
    std::vector<Tsl::SmartPtr<FrameData>> aFrames;
    for (const Tsl::SmartPtr<FrameData>& pFrame : pSource->getFrames()) aFrames.push_back(pFrame);
    if (bReverse) std::reverse(aFrames.begin(), aFrames.end());
    for (const Tsl::SmartPtr<FrameData>& pFrame : aFrames) {
        m_nLastFrame = addFrame(pFrame->getImage(), pFrame->getRepeat());
        Tsl::SmartPtr<FrameData> pCopy = m_pAnimation->getFrameData(m_sSequence, m_nLastFrame);
        for (const Tsl::String& sKey : pFrame->getPropKeys()) pCopy->setProp(sKey, pFrame->getProp(sKey, false));
    }
}

void AnimationLoader::cmdAlias() {
    Tsl::SmartPtr<Sequence> pSequence = m_pAnimation->getSequence(m_sSequence);
    for (int i = 1; i < m_lTokens.getCount(); ++i) m_pAnimation->addSequence(token(i), pSequence);
}

void AnimationLoader::cmdProp() {
    Tsl::String sValue = m_lTokens.getCount() > 2 ? token(2) : Tsl::String();
    if (m_sSequence.isEmpty())
        m_pAnimation->setProp(token(1), sValue);
    else
        m_pAnimation->setFrameProp(m_sSequence, m_nLastFrame, token(1), sValue);
}

void AnimationLoader::cmdFrameProp() {
    if (m_sSequence.isEmpty()) TSL_THROW(FatalErrorException, "FramProp must be used inside sequence.");
    Tsl::String sValue = m_lTokens.getCount() > 3 ? token(3) : Tsl::String();
    m_pAnimation->setFrameProp(m_sSequence, Tsl::String::toInt(token(1)), token(2), sValue);
}

// ---- parameters, macros, includes ----------------------------------------------------------------

void AnimationLoader::cmdDefine() { m_hDefines.set(token(1), token(2)); }

void AnimationLoader::cmdParam() {
    // The rest of the line, blanks and all.
    m_lParams.append(m_sLine.substringFrom(5).trim());
}

void AnimationLoader::cmdParams() {
    int nNeeded = Tsl::String::toInt(token(1));
    int nFound = m_lParams.getCount();
    if (nFound < nNeeded)
        fail("AnimationLoader : %s : expected at least %d parameters, %d found (line %d)", animationName(), nNeeded,
             nFound, m_nLine);
}

void AnimationLoader::cmdClearParams() { m_lParams.clear(); }

void AnimationLoader::cmdInclude() {
    Tsl::String sName = token(1);
    for (int i = 0; i < m_nLineFileDepth; ++i)
        if (m_aFiles[i].sName == sName)
            fail("AnimationLoader : Include in %s, line %d : %s is already being read", animationName(), m_nLine,
                 sName.c_str());
    insertFile(sName);
}
