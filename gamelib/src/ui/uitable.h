// The layout grid of every dialog and screen: rows of cells, each cell a
// stack of visual objects (sprites, widgets, nested tables) drawn on top of
// one another. The table places its objects; the owning mode draws them.
//
// A cell's integer is the number of columns it spans (1 when below 1). The
// flags given to add() place the object inside the room its cell has (the
// row's height and the width of the cell's columns) as the flags of
// Image::alignInsPoint do: 2 right, 4 centred horizontally, 16 bottom, 32
// centred vertically, none of them left and top. A cell's flag word is
// added to the flags of every object in it (0 in a new cell).
#pragma once

#include "sprite/sprite.h"
#include "tsl2/str.h"

#include <vector>

class GameMode;
struct FrameStyle;

class Table : public IVisualObject {
public:
    enum { DEFAULT_CELL_FLAGS = 0 };

    explicit Table(GameMode* pOwner);
    ~Table() override;

    GameMode* getOwnerMode() const { return m_pOwner; }

    // ---- frame ----------------------------------------------------------------
    // A theme frame style name; an unknown name uses the theme's default frame.
    void setFrameStyle(const Tsl::String& sStyle);
    const Tsl::String& getFrameStyle() const { return m_sFrameStyle; }
    void setFrameEnabled(bool bEnabled);
    bool isFrameEnabled() const { return m_bFrameEnabled; }
    // The frame sprite; null before the first layout and while the frame is off.
    Tsl::SmartPtr<Sprite> getFrame() const { return m_pFrame; }

    // ---- spacing (pixels; negative values overlap neighbours) ------------------
    void setColumnSpacing(int nPixels);
    void setRowSpacing(int nPixels);
    void setSpacing(int nPixels);
    int getColumnSpacing() const { return m_nColumnSpacing; }
    int getRowSpacing() const { return m_nRowSpacing; }

    // ---- building -----------------------------------------------------------------
    // Starts a new row at the end; the integer is kept with the row.
    void addRow(int nValue = 1);
    // Starts a new cell in the current row (making a row when there is none).
    void addCell(int nSpan = 1);
    void setCellFlags(int nFlags);
    // One more layer in the current cell (making a cell when there is none);
    // its sprites join the owning mode.
    void add(Tsl::SmartPtr<IVisualObject> pObject, int nFlags = 0);
    int getRowCount() const { return static_cast<int>(m_aRows.size()); }
    int getCellCount(int nRow) const;
    int getCellValue(int nRow, int nCell) const;
    int getCellFlags(int nRow, int nCell) const;

    // Places every object now (sizes are measured first when they changed).
    void layout();
    bool isLayoutDirty() const { return m_bDirty; }
    // Marks the sizes as changed; the next size query or layout measures again.
    void invalidate();
    // The sprites of all cells and the frame; nested tables' too when asked.
    void getSprites(SpriteList& lSprites, bool bNested) const;
    // Takes every object (nested tables' too) and the frame out of the mode
    // and empties the rows.
    void clear();

    // ---- the visual-object interface ---------------------------------------------
    // The size is measured on demand, so it is known before the first layout.
    Point getSize() const override;
    void getSize(int& nWidth, int& nHeight) const override;
    // A minimum size: the table grows to at least this.
    void setSize(const Point& size) override;
    void setSize(int nWidth, int nHeight) override;
    int getWidth() const override;
    int getHeight() const override;
    Point getPosition() const override { return Point(float(m_nX), float(m_nY)); }
    void getPosition(float& fX, float& fY) const override;
    void getPosition(int& nX, int& nY) const override;
    void setPosition(const Point& p) override { setPosition(int(p.x), int(p.y)); }
    void setPosition(float fX, float fY) override { setPosition(int(fX), int(fY)); }
    // Moves the laid-out objects along.
    void setPosition(int nX, int nY) override;
    int getZOrder() const override { return m_nZOrder; }
    // Moves every object of the table by the same number of steps.
    void setZOrder(int nZOrder) override;
    bool isVisible() const override { return m_bVisible; }
    void setVisible(bool bVisible) override;
    void setClipRect(const Rect& clip) override;
    void clearClipRect() override;

private:
    struct Layer {
        Tsl::SmartPtr<IVisualObject> pObject;
        int nFlags;
    };
    struct Cell {
        int nSpan;
        int nFlags;
        std::vector<Layer> aLayers;
        int nWidth;
        int nHeight;
    };
    struct Row {
        int nValue;
        std::vector<Cell> aCells;
        int nHeight;
    };

    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    Cell& currentCell();
    void measure() const;
    void measureCell(Cell& cell) const;
    void measureColumns() const;
    void spreadSpanningCells() const;
    Rect getContentInsets() const;
    void placeObjects();
    void placeCell(Cell& cell, int nX, int nY, int nWidth, int nHeight);
    void updateFrame();
    void removeFrame();
    template <class Visit>
    void forEachObject(Visit visit) const;

    GameMode* m_pOwner;
    std::vector<Row> m_aRows;
    int m_nX;
    int m_nY;
    int m_nZOrder;
    bool m_bVisible;
    int m_nColumnSpacing;
    int m_nRowSpacing;
    int m_nMinWidth;
    int m_nMinHeight;
    Tsl::String m_sFrameStyle;
    bool m_bFrameEnabled;
    Tsl::SmartPtr<Sprite> m_pFrame;
    Tsl::SmartPtr<FrameStyle> m_pFrameStyle;
    bool m_bLaidOut;
    // Measuring results, refreshed on demand.
    mutable bool m_bDirty;
    mutable std::vector<int> m_aColumnWidths;
    mutable int m_nWidth;
    mutable int m_nHeight;
};
