#pragma once

#include "field/scene.h"

#include <vector>

// The floor cut into square cells; a cell is open when its centre lies in a
// walk area. Routes go cell by cell (eight neighbours, no corner cutting)
// and end on the exact goal.
class WalkGrid {
public:
    enum { CELL_SIZE = 16, WIDTH = 800, HEIGHT = 600 };

    void build(const SceneData& scene);
    // False when the goal is outside the floor or cannot be reached.
    bool findRoute(int nFromX, int nFromY, int nToX, int nToY, Tsl::List<PathWaypoint>& lRoute) const;

private:
    int cols() const { return WIDTH / CELL_SIZE; }
    int rows() const { return HEIGHT / CELL_SIZE; }
    bool isOpen(int nCol, int nRow) const;
    // The open cell nearest the point within a few cells, or -1.
    int nearestOpenCell(int nX, int nY) const;

    std::vector<unsigned char> m_aOpen;
    const SceneData* m_pScene = nullptr;
};
