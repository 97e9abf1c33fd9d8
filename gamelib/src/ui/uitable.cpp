#include "ui/uitable.h"

#include "app/gameapp.h"
#include "app/gamemode.h"
#include "anim/animsprite.h"
#include "effects/animcontroller.h"
#include "ui/styles.h"
#include "ui/theme.h"

#include <algorithm>

namespace {

// Where an object's canvas starts relative to its position: sprites are
// placed by their image's insertion point, everything else by its corner.
Point cornerOffset(IVisualObject* pObject) {
    Sprite* pSprite = dynamic_cast<Sprite*>(pObject);
    if (!pSprite || !pSprite->getImage()) return Point();
    return Point(float(pSprite->getImage()->getInsPointX()), float(pSprite->getImage()->getInsPointY()));
}

// The offset of a box of size nInner inside nOuter for the alignment flags
// of one axis (the "far" and "centre" bits).
int alignOffset(int nOuter, int nInner, int nFlags, int nFarBit, int nCentreBit) {
    if (nFlags & nCentreBit) return (nOuter - nInner) / 2;
    if (nFlags & nFarBit) return nOuter - nInner;
    return 0;
}

Theme* currentTheme() {
    GameApp* pApp = GameApp::getInstance();
    return pApp ? pApp->getTheme() : nullptr;
}

} // namespace

Table::Table(GameMode* pOwner)
    : m_pOwner(pOwner), m_nX(0), m_nY(0), m_nZOrder(0), m_bVisible(true), m_nColumnSpacing(0), m_nRowSpacing(0),
      m_nMinWidth(0), m_nMinHeight(0), m_bFrameEnabled(false), m_bLaidOut(false), m_bDirty(true), m_nWidth(0),
      m_nHeight(0) {}

Table::~Table() {}

// ---- frame --------------------------------------------------------------------

void Table::setFrameStyle(const Tsl::String& sStyle) {
    m_sFrameStyle = sStyle;
    m_bFrameEnabled = true;
    invalidate();
}

void Table::setFrameEnabled(bool bEnabled) {
    m_bFrameEnabled = bEnabled;
    if (!bEnabled) removeFrame();
    invalidate();
}

Rect Table::getContentInsets() const {
    if (!m_bFrameEnabled) return makeEdges(0, 0, 0, 0);
    Theme* pTheme = currentTheme();
    Tsl::SmartPtr<FrameStyle> pStyle = pTheme ? pTheme->getFrameStyle(m_sFrameStyle) : nullptr;
    return pStyle ? pStyle->padding : makeEdges(0, 0, 0, 0);
}

void Table::removeFrame() {
    if (!m_pFrame) return;
    if (m_pFrame->getOwnerMode()) m_pFrame->getOwnerMode()->removeSprite(m_pFrame);
    m_pFrame = nullptr;
}

void Table::updateFrame() {
    if (!m_bFrameEnabled) {
        removeFrame();
        return;
    }
    Theme* pTheme = currentTheme();
    Tsl::SmartPtr<FrameStyle> pStyle = pTheme ? pTheme->getFrameStyle(m_sFrameStyle) : nullptr;
    if (!pStyle || !pStyle->pImage) {
        removeFrame();
        return;
    }
    bool bResized = !m_pFrame || m_pFrame->getImage().isNull() || m_pFrame->getImage()->getWidth() != m_nWidth ||
                    m_pFrame->getImage()->getHeight() != m_nHeight || m_pFrameStyle != pStyle;
    m_pFrameStyle = pStyle;
    Tsl::SmartPtr<Image> pImage =
        bResized ? StyleDraw::makeNineSlice(pStyle->pImage, pStyle->borders, m_nWidth, m_nHeight) : m_pFrame->getImage();
    if (!m_pFrame) {
        // Under everything the table holds.
        m_pFrame = new Sprite(pImage, m_nX, m_nY, m_nZOrder - 1);
        m_pFrame->setVisible(m_bVisible);
        if (m_pOwner) m_pOwner->addSprite(m_pFrame);
    } else {
        if (bResized) m_pFrame->setImage(pImage);
        m_pFrame->setVisible(m_bVisible);
        m_pFrame->setPosition(m_nX, m_nY);
    }
}

// ---- spacing --------------------------------------------------------------------

void Table::setColumnSpacing(int nPixels) {
    m_nColumnSpacing = nPixels;
    invalidate();
}

void Table::setRowSpacing(int nPixels) {
    m_nRowSpacing = nPixels;
    invalidate();
}

void Table::setSpacing(int nPixels) {
    m_nColumnSpacing = nPixels;
    m_nRowSpacing = nPixels;
    invalidate();
}

// ---- building ---------------------------------------------------------------------

void Table::addRow(int nValue) {
    Row row;
    row.nValue = nValue;
    row.nHeight = 0;
    m_aRows.push_back(row);
    invalidate();
}

void Table::addCell(int nSpan) {
    if (m_aRows.empty()) addRow(1);
    Cell cell;
    cell.nSpan = std::max(1, nSpan);
    cell.nFlags = DEFAULT_CELL_FLAGS;
    cell.nWidth = 0;
    cell.nHeight = 0;
    m_aRows.back().aCells.push_back(cell);
    invalidate();
}

Table::Cell& Table::currentCell() {
    if (m_aRows.empty() || m_aRows.back().aCells.empty()) addCell(1);
    return m_aRows.back().aCells.back();
}

void Table::setCellFlags(int nFlags) {
    currentCell().nFlags = nFlags;
    invalidate();
}

namespace {
bool hasAnimationPlayer(const Sprite* pSprite) {
    for (int i = 0; i < pSprite->getControllerCount(); ++i)
        if (dynamic_cast<SCPlayAnimation*>(pSprite->getController(i))) return true;
    return false;
}
} // namespace

void Table::add(Tsl::SmartPtr<IVisualObject> pObject, int nFlags) {
    TSL_TRACE();
    if (!pObject) return;
    if (pObject.get() == this) TSL_THROW(BadParmException, "Table::add : a table cannot hold itself");
    Layer layer;
    layer.pObject = pObject;
    layer.nFlags = nFlags;
    currentCell().aLayers.push_back(layer);
    // Objects keep their z-order relative to the table's.
    if (m_nZOrder) pObject->setZOrder(pObject->getZOrder() + m_nZOrder);
    if (!m_bVisible) pObject->setVisible(false);
    // Nobody else steps an animated picture placed in a table: it plays by
    // itself through the controller, and its mode ticks it from now on.
    // One player only: a picture placed again (a rebuilt table) or already
    // played by its owner would otherwise step twice a frame.
    AnimSprite* pAnimated = dynamic_cast<AnimSprite*>(pObject.get());
    if (pAnimated && !hasAnimationPlayer(pAnimated)) pAnimated->addController(new SCPlayAnimation(false, false));
    if (m_pOwner) {
        SpriteList lSprites;
        Sprite* pSprite = dynamic_cast<Sprite*>(pObject.get());
        Table* pNested = dynamic_cast<Table*>(pObject.get());
        if (pSprite) lSprites.append(Tsl::SmartPtr<Sprite>(pSprite));
        else if (pNested) pNested->getSprites(lSprites, true);
        for (const Tsl::SmartPtr<Sprite>& p : lSprites)
            if (p->getOwnerMode() != m_pOwner) m_pOwner->addSprite(p);
    }
    invalidate();
}

int Table::getCellCount(int nRow) const {
    return nRow >= 0 && nRow < getRowCount() ? static_cast<int>(m_aRows[nRow].aCells.size()) : 0;
}

int Table::getCellValue(int nRow, int nCell) const {
    return nCell >= 0 && nCell < getCellCount(nRow) ? m_aRows[nRow].aCells[nCell].nSpan : 0;
}

int Table::getCellFlags(int nRow, int nCell) const {
    return nCell >= 0 && nCell < getCellCount(nRow) ? m_aRows[nRow].aCells[nCell].nFlags : 0;
}

void Table::invalidate() { m_bDirty = true; }

// ---- measuring ---------------------------------------------------------------------

void Table::measureCell(Cell& cell) const {
    cell.nWidth = 0;
    cell.nHeight = 0;
    for (const Layer& layer : cell.aLayers) {
        cell.nWidth = std::max(cell.nWidth, layer.pObject->getWidth());
        cell.nHeight = std::max(cell.nHeight, layer.pObject->getHeight());
    }
}

void Table::measureColumns() const {
    m_aColumnWidths.clear();
    for (const Row& row : m_aRows) {
        size_t nColumn = 0;
        for (const Cell& cell : row.aCells) {
            size_t nEnd = nColumn + cell.nSpan;
            if (m_aColumnWidths.size() < nEnd) m_aColumnWidths.resize(nEnd, 0);
            if (cell.nSpan == 1) m_aColumnWidths[nColumn] = std::max(m_aColumnWidths[nColumn], cell.nWidth);
            nColumn = nEnd;
        }
    }
}

void Table::spreadSpanningCells() const {
    // A spanning cell wider than its columns widens them evenly (the first
    // columns take the remainder).
    for (const Row& row : m_aRows) {
        int nColumn = 0;
        for (const Cell& cell : row.aCells) {
            if (cell.nSpan > 1) {
                int nHave = (cell.nSpan - 1) * m_nColumnSpacing;
                for (int i = 0; i < cell.nSpan; ++i) nHave += m_aColumnWidths[nColumn + i];
                int nMissing = cell.nWidth - nHave;
                for (int i = 0; nMissing > 0 && i < cell.nSpan; ++i)
                    m_aColumnWidths[nColumn + i] += nMissing / cell.nSpan + (i < nMissing % cell.nSpan ? 1 : 0);
            }
            nColumn += cell.nSpan;
        }
    }
}

void Table::measure() const {
    for (const Row& row : m_aRows) {
        Row& r = const_cast<Row&>(row);
        r.nHeight = 0;
        for (Cell& cell : r.aCells) {
            measureCell(cell);
            r.nHeight = std::max(r.nHeight, cell.nHeight);
        }
    }
    measureColumns();
    spreadSpanningCells();
    int nWidth = 0, nHeight = 0;
    for (size_t i = 0; i < m_aColumnWidths.size(); ++i) nWidth += m_aColumnWidths[i] + (i ? m_nColumnSpacing : 0);
    for (size_t i = 0; i < m_aRows.size(); ++i) nHeight += m_aRows[i].nHeight + (i ? m_nRowSpacing : 0);
    Rect insets = getContentInsets();
    m_nWidth = std::max(m_nMinWidth, std::max(0, nWidth) + insets.left + insets.right);
    m_nHeight = std::max(m_nMinHeight, std::max(0, nHeight) + insets.top + insets.bottom);
}

// ---- layout ------------------------------------------------------------------------

void Table::layout() {
    TSL_TRACE();
    measure();
    m_bLaidOut = true;
    m_bDirty = false;
    // The frame first: a nested table's frame, made while the objects are
    // placed, then lies above ours at the same z-order.
    updateFrame();
    placeObjects();
}

void Table::placeObjects() {
    Rect insets = getContentInsets();
    int nContentWidth = m_nWidth - insets.left - insets.right;
    int nY = m_nY + insets.top;
    for (Row& row : m_aRows) {
        int nX = m_nX + insets.left;
        size_t nColumn = 0;
        for (Cell& cell : row.aCells) {
            int nWidth = (cell.nSpan - 1) * m_nColumnSpacing;
            for (int i = 0; i < cell.nSpan && nColumn + i < m_aColumnWidths.size(); ++i)
                nWidth += m_aColumnWidths[nColumn + i];
            // The last cell of a row that ends early takes the rest of the width.
            if (&cell == &row.aCells.back()) nWidth = std::max(nWidth, m_nX + insets.left + nContentWidth - nX);
            placeCell(cell, nX, nY, nWidth, row.nHeight);
            nX += nWidth + m_nColumnSpacing;
            nColumn += cell.nSpan;
        }
        nY += row.nHeight + m_nRowSpacing;
    }
}

void Table::placeCell(Cell& cell, int nX, int nY, int nWidth, int nHeight) {
    for (Layer& layer : cell.aLayers) {
        IVisualObject* pObject = layer.pObject;
        int nFlags = layer.nFlags | cell.nFlags;
        int nLeft = nX + alignOffset(nWidth, pObject->getWidth(), nFlags, Image::ALIGN_RIGHT, Image::ALIGN_HCENTER);
        int nTop = nY + alignOffset(nHeight, pObject->getHeight(), nFlags, Image::ALIGN_BOTTOM, Image::ALIGN_VCENTER);
        Point offset = cornerOffset(pObject);
        pObject->setPosition(nLeft + int(offset.x), nTop + int(offset.y));
        Table* pNested = dynamic_cast<Table*>(pObject);
        if (pNested) pNested->layout();
    }
}

// ---- walking the objects -------------------------------------------------------------

template <class Visit>
void Table::forEachObject(Visit visit) const {
    for (const Row& row : m_aRows)
        for (const Cell& cell : row.aCells)
            for (const Layer& layer : cell.aLayers) visit(layer.pObject);
}

void Table::getSprites(SpriteList& lSprites, bool bNested) const {
    if (m_pFrame) lSprites.append(m_pFrame);
    forEachObject([&](const Tsl::SmartPtr<IVisualObject>& pObject) {
        Sprite* pSprite = dynamic_cast<Sprite*>(pObject.get());
        if (pSprite) {
            lSprites.append(Tsl::SmartPtr<Sprite>(pSprite));
            return;
        }
        Table* pNested = dynamic_cast<Table*>(pObject.get());
        if (pNested && bNested) pNested->getSprites(lSprites, true);
    });
}

void Table::clear() {
    TSL_TRACE();
    removeFrame();
    std::vector<Row> aRows;
    aRows.swap(m_aRows);
    for (const Row& row : aRows)
        for (const Cell& cell : row.aCells)
            for (const Layer& layer : cell.aLayers) {
                // Undoes add's shift, so an object placed again is not raised twice.
                if (m_nZOrder) layer.pObject->setZOrder(layer.pObject->getZOrder() - m_nZOrder);
                Tsl::SmartPtr<Sprite> pSprite = Tsl::SmartPtr<Sprite>::dynamicCast(layer.pObject);
                if (pSprite && pSprite->getOwnerMode()) pSprite->getOwnerMode()->removeSprite(pSprite);
                Table* pNested = dynamic_cast<Table*>(layer.pObject.get());
                if (pNested) pNested->clear();
            }
    m_bLaidOut = false;
    invalidate();
}

// ---- the visual-object interface ------------------------------------------------------

Point Table::getSize() const {
    if (!m_bVisible) return Point();
    // One measuring for both sides.
    measure();
    return Point(float(m_nWidth), float(m_nHeight));
}

void Table::getSize(int& nWidth, int& nHeight) const {
    measure();
    nWidth = m_nWidth;
    nHeight = m_nHeight;
}

void Table::setSize(const Point& size) { setSize(int(size.x), int(size.y)); }

void Table::setSize(int nWidth, int nHeight) {
    m_nMinWidth = nWidth;
    m_nMinHeight = nHeight;
    invalidate();
}

int Table::getWidth() const {
    if (!m_bVisible) return 0;
    measure();
    return m_nWidth;
}

int Table::getHeight() const {
    if (!m_bVisible) return 0;
    measure();
    return m_nHeight;
}

void Table::getPosition(float& fX, float& fY) const {
    fX = float(m_nX);
    fY = float(m_nY);
}

void Table::getPosition(int& nX, int& nY) const {
    nX = m_nX;
    nY = m_nY;
}

void Table::setPosition(int nX, int nY) {
    m_nX = nX;
    m_nY = nY;
    if (m_bLaidOut) layout();
}

void Table::setZOrder(int nZOrder) {
    int nDelta = nZOrder - m_nZOrder;
    m_nZOrder = nZOrder;
    if (nDelta == 0) return;
    if (m_pFrame) m_pFrame->setZOrder(m_pFrame->getZOrder() + nDelta);
    forEachObject([&](const Tsl::SmartPtr<IVisualObject>& pObject) { pObject->setZOrder(pObject->getZOrder() + nDelta); });
}

void Table::setVisible(bool bVisible) {
    m_bVisible = bVisible;
    if (m_pFrame) m_pFrame->setVisible(bVisible);
    forEachObject([&](const Tsl::SmartPtr<IVisualObject>& pObject) { pObject->setVisible(bVisible); });
}

void Table::setClipRect(const Rect& clip) {
    if (m_pFrame) m_pFrame->setClipRect(clip);
    forEachObject([&](const Tsl::SmartPtr<IVisualObject>& pObject) { pObject->setClipRect(clip); });
}

void Table::clearClipRect() {
    if (m_pFrame) m_pFrame->clearClipRect();
    forEachObject([&](const Tsl::SmartPtr<IVisualObject>& pObject) { pObject->clearClipRect(); });
}
