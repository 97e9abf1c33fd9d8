#include "text/glyphsheet.h"

#include "app/gameapp.h"
#include "text/codepage.h"

#include "tsl2/error.h"

#include <cstdio>

namespace {

const char* const s_apszRows[GlyphSheetLayout::ROW_COUNT] = {
    "ABCDEFGHIJKLMNÑOPQRSTUVWXYZÁÉÍÓÚ",
    "Aabcdefghijklmnñopqrstuvwxyzáéíóú",
    "A0123456789äöÄÖàâÀÂèêÈÊîïÎÏôÔùûÙÛ",
    "A,.;:=_'\"",
    "A¡!¿?(){}[]",
    "A@#$%&\\~|",
    "A+-*/<>ªº",
};

void warn(const Tsl::String& sMessage) {
    std::fprintf(stderr, "WARNING : %s\n", sMessage.c_str());
}

// Transparency questions about the sheet in its canvas coordinates; pixels
// outside the stored ones are clear.
class SheetScanner {
public:
    explicit SheetScanner(Image* pSheet) : m_pSheet(pSheet) {
        pSheet->getPhysicalOffset(m_nOffsetX, m_nOffsetY);
    }
    bool isClear(int x, int y) { return isColumnClear(x, y, y + 1); }
    bool isColumnClear(int x, int y0, int y1) {
        m_pSheet->lock();
        bool bClear = m_pSheet->isColumnSpanClear(x - m_nOffsetX, y0 - m_nOffsetY, y1 - m_nOffsetY);
        m_pSheet->unlock();
        return bClear;
    }
    int countClearRows(int x0, int x1, int y0, int y1) {
        int n = 0;
        m_pSheet->lock();
        for (int y = y0; y < y1; ++y, ++n)
            if (!m_pSheet->isRowSpanClear(y - m_nOffsetY, x0 - m_nOffsetX, x1 - m_nOffsetX)) break;
        m_pSheet->unlock();
        return n;
    }

private:
    Image* m_pSheet;
    int m_nOffsetX;
    int m_nOffsetY;
};

class SheetReader {
public:
    explicit SheetReader(Image* pSheet)
        : m_pSheet(pSheet), m_scanner(pSheet), m_nWidth(pSheet->getWidth()), m_nHeight(pSheet->getHeight()),
          m_nGapSum(0), m_nGapCount(0) {
        m_result.pGlyphs = new ImagePtrArrayWrapper();
    }

    GlyphSheet read() {
        int y = -1;
        for (int nRow = 0; nRow < GlyphSheetLayout::ROW_COUNT; ++nRow)
            if (!readRowAt(nRow, y)) break;
        finish();
        return m_result;
    }

private:
    // Finds the row's markers and reads its glyphs; false when the markers
    // run out (the rows below cannot be found either).
    bool readRowAt(int nRow, int& y) {
        int nTop = y + 1;
        while (nTop < m_nHeight && m_scanner.isClear(0, nTop)) ++nTop;
        int nBottom = nTop + 1;
        while (nBottom < m_nHeight && m_scanner.isClear(0, nBottom)) ++nBottom;
        if (nBottom >= m_nHeight) {
            warn(Tsl::String::format("Loading font '%s' : no %s marker for line %d in column 0",
                                     m_pSheet->getName().c_str(), nTop >= m_nHeight ? "top" : "bottom", nRow));
            return false;
        }
        y = nBottom;
        int nRead = 0;
        const Tsl::String& sChars = GlyphSheetLayout::rowCharacters(nRow);
        try {
            readRow(nRow, nTop + 1, nBottom, nRead);
        } catch (const Tsl::Exception& e) {
            warn(e.getMessage());
            warn(Tsl::String::format("Loading font : line %d has %d chars, expecting %d\n", nRow, nRead,
                                     sChars.getLength()));
        }
        return true;
    }

    // The strip of a row: the pixel rows between its two markers.
    struct Strip {
        int nRow;
        int nTop;
        int nBottom;
    };

    // The first column at or after x that is (bClear) or is not wholly
    // clear over the strip; the sheet's width when there is none. Image
    // errors get the place of the scan.
    int scanColumns(const Strip& strip, int x, bool bClear, int k, unsigned char c) {
        try {
            while (x < m_nWidth && m_scanner.isColumnClear(x, strip.nTop, strip.nBottom) != bClear) ++x;
        } catch (const Tsl::Exception& e) {
            TSL_THROW(FatalErrorException, "%s\nWhen loading line %d, character %d [%c], looking for %s from %d",
                      e.getMessage(), strip.nRow, k, c, bClear ? "end" : "start", x);
        }
        return x;
    }

    void readRow(int nRow, int nStripTop, int nStripBottom, int& nRead) {
        const Tsl::String& sChars = GlyphSheetLayout::rowCharacters(nRow);
        Strip strip = {nRow, nStripTop, nStripBottom};
        // Leading solid columns are skipped.
        int x = scanColumns(strip, 0, true, 0, sChars[0]);
        int nPrevEnd = 0, nRef = 0;
        for (int k = 0; k < sChars.getLength(); ++k) {
            unsigned char c = static_cast<unsigned char>(sChars[k]);
            int nStart = scanColumns(strip, x, false, k, c);
            if (nStart >= m_nWidth) return;
            if (k > 0) {
                m_nGapSum += nStart - nPrevEnd;
                ++m_nGapCount;
            }
            int nEnd = scanColumns(strip, nStart + 1, true, k, c);
            nPrevEnd = nEnd;
            if (nEnd >= m_nWidth) {
                warn(Tsl::String::format("Loading font '%s' : line %d, character %d [%c] touches the right edge and "
                                         "is left out",
                                         m_pSheet->getName().c_str(), nRow, k, c));
                return;
            }
            if (k == 0) nRef = m_scanner.countClearRows(nStart, nEnd, nStripTop, nStripBottom);
            if (k > 0 || nRow > 0) storeGlyph(c, strip, nStart, nEnd, nRef);
            nRead = k + 1;
            x = nEnd;
        }
    }

    // Row 0's reference A is only measured: the A kept is a later row's.
    void storeGlyph(unsigned char c, const Strip& strip, int nStart, int nEnd, int nRef) {
        Tsl::SmartPtr<Image> pGlyph =
            m_pSheet->createSubImage(nStart, strip.nTop, nEnd - nStart, strip.nBottom - strip.nTop, false);
        pGlyph->setInsPoint(0, nRef);
        (*m_result.pGlyphs)[c] = pGlyph;
    }

    void finish() {
        m_result.nBlankWidth = m_nGapCount ? m_nGapSum / m_nGapCount : GlyphSheetLayout::DEFAULT_BLANK_WIDTH;
        Tsl::SmartPtr<Image> pA = (*m_result.pGlyphs)['A'];
        if (!pA)
            TSL_THROW(ResourceException, "Loading font '%s' : no reference glyph A in lines 1 to 6",
                      m_pSheet->getName().c_str());
        m_result.nHeight = pA->getHeight() + GlyphSheetLayout::HEIGHT_MARGIN;
    }

    Image* m_pSheet;
    SheetScanner m_scanner;
    int m_nWidth;
    int m_nHeight;
    int m_nGapSum;
    int m_nGapCount;
    GlyphSheet m_result;
};

} // namespace

const Tsl::String& GlyphSheetLayout::rowCharacters(int nRow) {
    static const Tsl::String s_asRows[ROW_COUNT] = {
        CodePage::toWindows1252(s_apszRows[0]), CodePage::toWindows1252(s_apszRows[1]),
        CodePage::toWindows1252(s_apszRows[2]), CodePage::toWindows1252(s_apszRows[3]),
        CodePage::toWindows1252(s_apszRows[4]), CodePage::toWindows1252(s_apszRows[5]),
        CodePage::toWindows1252(s_apszRows[6]),
    };
    return s_asRows[nRow];
}

GlyphSheet loadGlyphSheet(Tsl::SmartPtr<Image> pSheet) {
    TSL_TRACE();
    TSL_ASSERT(pSheet);
    Tsl::traceSetNote(pSheet->getName());
    return SheetReader(pSheet).read();
}

Tsl::SmartPtr<Image> loadFontSheet(const Tsl::List<Tsl::String>& lParams) {
    TSL_TRACE();
    Tsl::String sName = lParams.getAt(0);
    GameApp* pApp = GameApp::getInstance();
    if (!pApp) TSL_THROW(BadStateException, "Can't load font sheet '%s' without an application", sName.c_str());
    return pApp->getImage(sName);
}
