#include "text/font.h"

#include "image/image.h"

#include <algorithm>
#include <vector>

namespace {

enum TokenKind { TOKEN_NEWLINE, TOKEN_SPACES, TOKEN_WORD };

TokenKind kindOf(char c) {
    if (c == '\n') return TOKEN_NEWLINE;
    if (c == ' ') return TOKEN_SPACES;
    return TOKEN_WORD;
}

// One past the end of the token starting at p: every LF alone, every run of
// spaces, every run of other bytes (CR, tabs and the bytes of multi-byte
// characters included, so no character is cut).
const char* tokenEnd(const char* p) {
    TokenKind kind = kindOf(*p++);
    if (kind != TOKEN_NEWLINE)
        while (*p && kindOf(*p) == kind) ++p;
    return p;
}

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool endsWithNewline(const Tsl::String& s) {
    return s.getLength() > 0 && s[-1] == '\n';
}

} // namespace

Font::Font()
    : m_bTrimLines(true),
      m_TextColor(255, 255, 255, 255),
      m_bDrawShadow(true),
      m_ShadowColor(0, 0, 0, 255),
      m_nShadowOffset(1),
      m_nTextAlign(ALIGN_LEFT),
      m_nExtraLineSpacing(0) {}

Font::~Font() {}

void Font::copySettings(const Font* pOther) {
    setTrimLines(pOther->getTrimLines());
    setTextColor(pOther->getTextColor());
    setShadowColor(pOther->getShadowColor());
    setDrawShadow(pOther->getDrawShadow());
    setShadowOffset(pOther->getShadowOffset());
    setTextAlign(pOther->getTextAlign());
    setExtraLineSpacing(pOther->getExtraLineSpacing());
}

void Font::setSpec(Tsl::SmartPtr<FontFactory> pFactory, const Tsl::List<Tsl::String>& lSpec) {
    m_pFactory = pFactory;
    m_lSpec = lSpec;
}

Tsl::List<Tsl::String> Font::wrapText(const char* pszText, int nWidth) const {
    Tsl::List<Tsl::String> lLines;
    if (!pszText || !*pszText) return lLines;
    // A line is measured whole only when the bound on its width (the last whole
    // measure plus the words added since, each with the font's slack) passes the
    // width, and its text is cut from the source only when it is needed: a long
    // line costs its length, not its length squared, and every break falls where
    // measuring each candidate whole would put it.
    const int nSlack = getAppendSlack();
    const char* pLine = pszText; // the current line is [pLine, p)
    int nBound = 0;
    for (const char* p = pszText; *p;) {
        const char* pEnd = tokenEnd(p);
        if (p == pLine) {
            nBound = nSlack >= 0 ? getTextWidth(Tsl::String(p, static_cast<int>(pEnd - p))) : 0;
        } else {
            int nTokenWidth = nSlack >= 0 ? getTextWidth(Tsl::String(p, static_cast<int>(pEnd - p))) : 0;
            int nCandidate = nBound + nTokenWidth + nSlack;
            if (nSlack < 0 || nCandidate > nWidth)
                nCandidate = getTextWidth(Tsl::String(pLine, static_cast<int>(pEnd - pLine)));
            if (nCandidate > nWidth) {
                // An empty line would only push an over-wide word down by a line.
                lLines.append(Tsl::String(pLine, static_cast<int>(p - pLine)));
                pLine = p;
                nBound = nTokenWidth;
            } else {
                nBound = nCandidate;
            }
        }
        p = pEnd;
        if (p[-1] == '\n' || !*p) {
            lLines.append(Tsl::String(pLine, static_cast<int>(p - pLine)));
            pLine = p;
        }
    }
    return lLines;
}

Tsl::String Font::cutToWidth(const Tsl::String& sLine, int nWidth, const char* pszEllipsis) const {
    if (getTextWidth(sLine) <= nWidth) return sLine;
    if (getTextWidth(pszEllipsis) > nWidth) return Tsl::String();
    // The longest start that fits, found by halving over the characters' first
    // bytes: a text too wide for a picture can run to thousands of them.
    std::vector<int> aStarts;
    for (int i = 0; i < sLine.getLength(); ++i)
        if (!isContinuation(sLine[i])) aStarts.push_back(i);
    size_t nFits = 0, nTooWide = aStarts.size();
    while (nTooWide - nFits > 1) {
        size_t nMiddle = (nFits + nTooWide) / 2;
        if (getTextWidth(sLine.left(aStarts[nMiddle]) + pszEllipsis) <= nWidth)
            nFits = nMiddle;
        else
            nTooWide = nMiddle;
    }
    return sLine.left(aStarts.empty() ? 0 : aStarts[nFits]) + pszEllipsis;
}

bool Font::fitToPicture(Tsl::List<Tsl::String>& lLines, int nMaxSide) const {
    int nLineStep = std::max(1, getHeight() + getExtraLineSpacing());
    int nMaxLines = std::max(1, (nMaxSide + getExtraLineSpacing()) / nLineStep);
    bool bCut = false;
    while (lLines.getCount() > nMaxLines) {
        lLines.removeAt(lLines.getCount() - 1);
        bCut = true;
    }
    for (int i = 0; i < lLines.getCount(); ++i) {
        Tsl::String& sLine = lLines.getNode(i)->data;
        if (getTextWidth(sLine) <= nMaxSide) continue;
        bool bNewline = sLine.right(1) == "\n";
        Tsl::String sText = bNewline ? sLine.left(sLine.getLength() - 1) : sLine;
        if (getTrimLines()) sText = sText.trim();
        sLine = cutToWidth(sText, nMaxSide) + (bNewline ? "\n" : "");
        bCut = true;
    }
    return bCut;
}

Rect Font::getTextRect(Rect box, const char* pszText) const {
    int nLines = wrapText(pszText, box.right - box.left).getCount();
    if (nLines == 0) return Rect(box.left, box.top, box.right, box.top);
    int nBottom = box.top + nLines * getHeight() + (nLines - 1) * getExtraLineSpacing();
    return Rect(box.left, box.top, box.right, std::min(box.bottom, nBottom));
}

void Font::drawText(Tsl::SmartPtr<Image> pTarget, const Rect& box, const char* pszText) const {
    Rect copy = box;
    drawText(pTarget, copy, pszText);
}

void Font::drawText(Tsl::SmartPtr<Image> pTarget, Rect& box, const char* pszText) const {
    int nBoxWidth = box.right - box.left;
    Tsl::List<Tsl::String> lLines = wrapText(pszText, nBoxWidth);
    int nLines = lLines.getCount();
    if (nLines == 0) {
        box = Rect(box.left, box.top, box.left, box.top);
        return;
    }
    int nFlags = getTextAlign();
    bool bJustify = (nFlags & ALIGN_HORIZONTAL_MASK) == ALIGN_JUSTIFY;
    int nShadow = getDrawShadow() ? getShadowOffset() : 0;
    int y = box.top;
    if (nFlags & ALIGN_VCENTER)
        y = box.top + ((box.bottom - box.top) - getExtraLineSpacing() * (nLines - 1) - getHeight() * nLines) / 2;
    int nRight = box.left;
    for (int i = 0; i < nLines; ++i) {
        Tsl::String sLine = lLines.getAt(i);
        // A line closed by LF keeps its natural spacing; the text's own last
        // line is stretched like any other unless it ends with LF.
        bool bParagraphEnd = endsWithNewline(sLine);
        if (getTrimLines()) sLine = sLine.trim();
        int w = getTextWidth(sLine);
        int x = box.left;
        if (bJustify)
            x = box.left;
        else if (nFlags & ALIGN_HCENTER)
            x = box.left + (nBoxWidth - w) / 2;
        else if (nFlags & ALIGN_RIGHT)
            x = box.right - w;
        if (bJustify && !bParagraphEnd)
            drawJustified(pTarget, x, y, nBoxWidth, sLine);
        else
            drawString(pTarget, x, y, sLine);
        nRight = std::max(nRight, x + w + nShadow);
        y += getHeight() + getExtraLineSpacing();
    }
    if (bJustify) nRight = box.left + nBoxWidth + nShadow;
    box = Rect(box.left, box.top, nRight, y);
}

void Font::drawJustified(Tsl::SmartPtr<Image> pTarget, int x, int y, int nWidth, const char* pszText) const {
    Tsl::List<Tsl::String> lWords = Tsl::String(pszText).split(" ");
    int nWords = lWords.getCount();
    if (nWords == 0) return;
    if (nWords == 1) {
        drawString(pTarget, x, y, pszText);
        return;
    }
    int nSum = 0;
    Tsl::List<int> lWidths;
    for (int i = 0; i < nWords; ++i) {
        int w = getTextWidth(lWords.getAt(i));
        lWidths.append(w);
        nSum += w;
    }
    int nGap = (nWidth - nSum) / (nWords - 1);
    for (int i = 0; i < nWords; ++i) {
        drawString(pTarget, x, y, lWords.getAt(i));
        x += lWidths.getAt(i) + nGap;
    }
}

bool FontFactory::setIntParam(Tsl::List<Tsl::String>&, int, int) {
    return false;
}

bool FontFactory::setStringParam(Tsl::List<Tsl::String>&, int, const Tsl::String&) {
    return false;
}

int FontFactory::getIntParam(const Tsl::List<Tsl::String>&, int) const {
    return -1;
}

Tsl::String FontFactory::getStringParam(const Tsl::List<Tsl::String>&, int) const {
    return Tsl::String();
}
