#include "field/walkgrid.h"

#include <cstdlib>
#include <deque>

namespace {
enum { SEARCH_RADIUS = 3 };
const int s_anDx[] = {1, -1, 0, 0, 1, 1, -1, -1};
const int s_anDy[] = {0, 0, 1, -1, 1, -1, 1, -1};
}  // namespace

void WalkGrid::build(const SceneData& scene) {
    m_pScene = &scene;
    m_aOpen.assign(cols() * rows(), 0);
    for (int r = 0; r < rows(); ++r)
        for (int c = 0; c < cols(); ++c)
            m_aOpen[r * cols() + c] =
                scene.getWalkAreaDepth(c * CELL_SIZE + CELL_SIZE / 2, r * CELL_SIZE + CELL_SIZE / 2) >= 0;
}

bool WalkGrid::isOpen(int nCol, int nRow) const {
    return nCol >= 0 && nRow >= 0 && nCol < cols() && nRow < rows() && m_aOpen[nRow * cols() + nCol];
}

int WalkGrid::nearestOpenCell(int nX, int nY) const {
    if (nX < 0 || nY < 0 || nX >= WIDTH || nY >= HEIGHT) return -1;
    int nCol = nX / CELL_SIZE, nRow = nY / CELL_SIZE;
    int nBest = -1, nBestDistance = 0;
    for (int dr = -SEARCH_RADIUS; dr <= SEARCH_RADIUS; ++dr)
        for (int dc = -SEARCH_RADIUS; dc <= SEARCH_RADIUS; ++dc) {
            if (!isOpen(nCol + dc, nRow + dr)) continue;
            int nDistance = dc * dc + dr * dr;
            if (nBest < 0 || nDistance < nBestDistance) {
                nBest = (nRow + dr) * cols() + nCol + dc;
                nBestDistance = nDistance;
            }
        }
    return nBest;
}

bool WalkGrid::findRoute(int nFromX, int nFromY, int nToX, int nToY, Tsl::List<PathWaypoint>& lRoute) const {
    lRoute.clear();
    if (!m_pScene || m_pScene->getWalkAreaDepth(nToX, nToY) < 0) return false;
    int nFrom = nearestOpenCell(nFromX, nFromY), nTo = nearestOpenCell(nToX, nToY);
    if (nFrom < 0 || nTo < 0) return false;
    std::vector<int> aCameFrom(m_aOpen.size(), -1);
    std::deque<int> queue;
    aCameFrom[nFrom] = nFrom;
    queue.push_back(nFrom);
    while (!queue.empty() && aCameFrom[nTo] < 0) {
        int nCell = queue.front();
        queue.pop_front();
        int nCol = nCell % cols(), nRow = nCell / cols();
        for (int d = 0; d < 8; ++d) {
            int c = nCol + s_anDx[d], r = nRow + s_anDy[d];
            // A diagonal step needs both cells beside it open: no cutting corners.
            if (!isOpen(c, r) || !isOpen(c, nRow) || !isOpen(nCol, r)) continue;
            int nNext = r * cols() + c;
            if (aCameFrom[nNext] >= 0) continue;
            aCameFrom[nNext] = nCell;
            queue.push_back(nNext);
        }
    }
    if (aCameFrom[nTo] < 0) return false;
    std::vector<int> aCells;
    for (int nCell = nTo; nCell != nFrom; nCell = aCameFrom[nCell]) aCells.push_back(nCell);
    // Cell centres where the direction changes, then the goal itself.
    int nPrevDx = 0, nPrevDy = 0;
    int nPrev = nFrom;
    for (int i = static_cast<int>(aCells.size()) - 1; i >= 0; --i) {
        int nCell = aCells[i];
        int nDx = nCell % cols() - nPrev % cols(), nDy = nCell / cols() - nPrev / cols();
        if ((nDx != nPrevDx || nDy != nPrevDy) && nPrev != nFrom)
            lRoute.append(
                PathWaypoint(nPrev % cols() * CELL_SIZE + CELL_SIZE / 2, nPrev / cols() * CELL_SIZE + CELL_SIZE / 2));
        nPrevDx = nDx;
        nPrevDy = nDy;
        nPrev = nCell;
    }
    lRoute.append(PathWaypoint(nToX, nToY));
    return true;
}
