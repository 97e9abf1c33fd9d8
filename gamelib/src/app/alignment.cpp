#include "app/alignment.h"

#include <cstdlib>

int parseAlignment(const char* pszText, const Tsl::SmartPtr<Image>& pImage, bool bHorizontal) {
    TSL_TRACE();
    TSL_ASSERT(pImage);
    Tsl::String sText(pszText);
    int nSign = sText.find('+');
    if (nSign < 0) nSign = sText.find('-');
    Tsl::String sBase = nSign < 0 ? sText : sText.left(nSign);
    int nOffset = nSign < 0 ? 0 : std::atoi(sText.c_str() + nSign);
    int nSize = bHorizontal ? pImage->getWidth() : pImage->getHeight();

    int nBase;
    if (sBase == "contents_center") {
        // The middle of the picture's real pixels, in canvas coordinates.
        Rect physical = pImage->getPhysicalRect();
        Point size = pImage->getPhysicalSize();
        nBase = bHorizontal ? static_cast<int>(size.x) / 2 + physical.left + pImage->getInsPointX()
                            : static_cast<int>(size.y) / 2 + physical.top + pImage->getInsPointY();
    } else if (sBase == "center" || sBase == "middle") {
        nBase = nSize / 2;
    } else if (sBase == "right" || sBase == "bottom") {
        nBase = nSize;
    } else if (sBase == "left" || sBase == "top") {
        nBase = 0;
    } else {
        nBase = std::atoi(sBase.c_str());
    }
    return nBase + nOffset;
}
