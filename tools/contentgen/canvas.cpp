#include "canvas.h"

#include <algorithm>
#include <cmath>

namespace {

int clampByte(float f) { return std::max(0, std::min(255, static_cast<int>(std::lround(f)))); }

const float PI = 3.14159265f;

} // namespace

Rgba::Rgba(int nR, int nG, int nB, int nA)
    : r(static_cast<std::uint8_t>(nR)), g(static_cast<std::uint8_t>(nG)), b(static_cast<std::uint8_t>(nB)),
      a(static_cast<std::uint8_t>(nA)) {}

Rgba Rgba::shade(float f) const {
    Rgba target = f > 0 ? Rgba(255, 255, 255, a) : Rgba(0, 0, 0, a);
    return mix(*this, target, std::fabs(f));
}

Rgba mix(const Rgba& a, const Rgba& b, float t) {
    return Rgba(clampByte(a.r + (b.r - a.r) * t), clampByte(a.g + (b.g - a.g) * t), clampByte(a.b + (b.b - a.b) * t),
                clampByte(a.a + (b.a - a.a) * t));
}

Canvas::Canvas(int nWidth, int nHeight)
    : m_nWidth(nWidth), m_nHeight(nHeight), m_aPixels(static_cast<size_t>(nWidth) * nHeight, Rgba(0, 0, 0, 0)) {}

void Canvas::blend(int x, int y, const Rgba& c, float fCoverage) {
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight || fCoverage <= 0) return;
    Rgba& d = m_aPixels[y * m_nWidth + x];
    float sa = c.a / 255.0f * std::min(fCoverage, 1.0f);
    float da = d.a / 255.0f;
    float oa = sa + da * (1 - sa);
    if (oa <= 0) return;
    auto channel = [&](int s, int dc) { return clampByte((s * sa + dc * da * (1 - sa)) / oa); };
    d = Rgba(channel(c.r, d.r), channel(c.g, d.g), channel(c.b, d.b), clampByte(oa * 255));
}

void Canvas::clear(const Rgba& c) { std::fill(m_aPixels.begin(), m_aPixels.end(), c); }

template <class Inside>
void Canvas::fillShape(float x0, float y0, float x1, float y1, const Rgba& c, Inside inside) {
    int nX0 = std::max(0, static_cast<int>(std::floor(x0))), nY0 = std::max(0, static_cast<int>(std::floor(y0)));
    int nX1 = std::min(m_nWidth - 1, static_cast<int>(std::ceil(x1))),
        nY1 = std::min(m_nHeight - 1, static_cast<int>(std::ceil(y1)));
    for (int y = nY0; y <= nY1; ++y)
        for (int x = nX0; x <= nX1; ++x) {
            int nHits = 0;
            for (int sy = 0; sy < 4; ++sy)
                for (int sx = 0; sx < 4; ++sx)
                    if (inside(x + (sx + 0.5f) / 4, y + (sy + 0.5f) / 4)) ++nHits;
            if (nHits) blend(x, y, c, nHits / 16.0f);
        }
}

void Canvas::fillRect(float x, float y, float w, float h, const Rgba& c) {
    fillShape(x, y, x + w, y + h, c, [=](float px, float py) { return px >= x && px < x + w && py >= y && py < y + h; });
}

void Canvas::gradientRect(float x, float y, float w, float h, const Rgba& top, const Rgba& bottom) {
    for (int py = std::max(0, static_cast<int>(y)); py < std::min<float>(m_nHeight, y + h); ++py) {
        Rgba c = mix(top, bottom, h > 1 ? (py - y) / (h - 1) : 0);
        for (int px = std::max(0, static_cast<int>(x)); px < std::min<float>(m_nWidth, x + w); ++px) blend(px, py, c);
    }
}

void Canvas::hGradientRect(float x, float y, float w, float h, const Rgba& left, const Rgba& right) {
    for (int px = std::max(0, static_cast<int>(x)); px < std::min<float>(m_nWidth, x + w); ++px) {
        Rgba c = mix(left, right, w > 1 ? (px - x) / (w - 1) : 0);
        for (int py = std::max(0, static_cast<int>(y)); py < std::min<float>(m_nHeight, y + h); ++py) blend(px, py, c);
    }
}

void Canvas::ellipse(float cx, float cy, float rx, float ry, const Rgba& c) {
    if (rx <= 0 || ry <= 0) return;
    fillShape(cx - rx, cy - ry, cx + rx, cy + ry, c, [=](float px, float py) {
        float dx = (px - cx) / rx, dy = (py - cy) / ry;
        return dx * dx + dy * dy <= 1.0f;
    });
}

void Canvas::ball(float cx, float cy, float rx, float ry, const Rgba& c) {
    ellipse(cx, cy, rx, ry, c);
    ellipse(cx - rx * 0.15f, cy - ry * 0.15f, rx * 0.7f, ry * 0.7f, c.shade(0.12f));
    ellipse(cx - rx * 0.3f, cy - ry * 0.35f, rx * 0.25f, ry * 0.2f, c.shade(0.45f).withAlpha(c.a * 3 / 4));
}

void Canvas::ring(float cx, float cy, float r, float fThickness, const Rgba& c) {
    float rIn = r - fThickness;
    fillShape(cx - r, cy - r, cx + r, cy + r, c, [=](float px, float py) {
        float d2 = (px - cx) * (px - cx) + (py - cy) * (py - cy);
        return d2 <= r * r && d2 >= rIn * rIn;
    });
}

void Canvas::roundRect(float x, float y, float w, float h, float fRadius, const Rgba& c) {
    float r = std::min(fRadius, std::min(w, h) / 2);
    fillShape(x, y, x + w, y + h, c, [=](float px, float py) {
        if (px < x || py < y || px >= x + w || py >= y + h) return false;
        float cx = std::min(std::max(px, x + r), x + w - r), cy = std::min(std::max(py, y + r), y + h - r);
        return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= r * r;
    });
}

void Canvas::polygon(const std::vector<Pt>& aPoints, const Rgba& c) {
    if (aPoints.size() < 3) return;
    float x0 = aPoints[0].x, x1 = x0, y0 = aPoints[0].y, y1 = y0;
    for (const Pt& p : aPoints) {
        x0 = std::min(x0, p.x), x1 = std::max(x1, p.x), y0 = std::min(y0, p.y), y1 = std::max(y1, p.y);
    }
    fillShape(x0, y0, x1, y1, c, [&](float px, float py) {
        bool bInside = false;
        for (size_t i = 0, j = aPoints.size() - 1; i < aPoints.size(); j = i++) {
            const Pt &a = aPoints[i], &b = aPoints[j];
            if ((a.y > py) != (b.y > py) && px < (b.x - a.x) * (py - a.y) / (b.y - a.y) + a.x) bInside = !bInside;
        }
        return bInside;
    });
}

void Canvas::line(float x0, float y0, float x1, float y1, float fThickness, const Rgba& c) {
    float dx = x1 - x0, dy = y1 - y0, fLength = std::sqrt(dx * dx + dy * dy);
    if (fLength <= 0) {
        ellipse(x0, y0, fThickness / 2, fThickness / 2, c);
        return;
    }
    float nx = -dy / fLength * fThickness / 2, ny = dx / fLength * fThickness / 2;
    polygon({{x0 + nx, y0 + ny}, {x1 + nx, y1 + ny}, {x1 - nx, y1 - ny}, {x0 - nx, y0 - ny}}, c);
}

void Canvas::star(float cx, float cy, float rOuter, float rInner, int nPoints, float fAngle, const Rgba& c) {
    std::vector<Pt> aPoints;
    for (int i = 0; i < nPoints * 2; ++i) {
        float r = i % 2 ? rInner : rOuter, a = fAngle + i * PI / nPoints - PI / 2;
        aPoints.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    polygon(aPoints, c);
}

void Canvas::outline(const Rgba& c, float fWidth) {
    int nReach = static_cast<int>(std::ceil(fWidth));
    std::vector<float> aCover(m_aPixels.size(), 0.0f);
    for (int y = 0; y < m_nHeight; ++y)
        for (int x = 0; x < m_nWidth; ++x) {
            if (m_aPixels[y * m_nWidth + x].a > 160) continue;
            float fBest = 0;
            for (int dy = -nReach; dy <= nReach && fBest < 1; ++dy)
                for (int dx = -nReach; dx <= nReach; ++dx) {
                    int sx = x + dx, sy = y + dy;
                    if (sx < 0 || sy < 0 || sx >= m_nWidth || sy >= m_nHeight) continue;
                    if (m_aPixels[sy * m_nWidth + sx].a <= 160) continue;
                    float d = std::sqrt(static_cast<float>(dx * dx + dy * dy));
                    fBest = std::max(fBest, std::min(1.0f, fWidth + 1.0f - d));
                }
            aCover[y * m_nWidth + x] = fBest;
        }
    for (size_t i = 0; i < m_aPixels.size(); ++i) {
        if (aCover[i] <= 0) continue;
        // The outline goes behind what is drawn: blend the pixel over it.
        Rgba top = m_aPixels[i];
        m_aPixels[i] = c.withAlpha(clampByte(c.a * aCover[i]));
        blend(static_cast<int>(i % m_nWidth), static_cast<int>(i / m_nWidth), top);
    }
}

void Canvas::draw(const Canvas& other, int x, int y, float fOpacity) {
    for (int sy = 0; sy < other.m_nHeight; ++sy)
        for (int sx = 0; sx < other.m_nWidth; ++sx) {
            const Rgba& c = other.m_aPixels[sy * other.m_nWidth + sx];
            if (c.a) blend(x + sx, y + sy, c, fOpacity);
        }
}

void Canvas::tint(const Rgba& c) {
    for (Rgba& p : m_aPixels) p = Rgba(p.r * c.r / 255, p.g * c.g / 255, p.b * c.b / 255, p.a);
}

void Canvas::mirror() {
    for (int y = 0; y < m_nHeight; ++y) std::reverse(m_aPixels.begin() + y * m_nWidth, m_aPixels.begin() + (y + 1) * m_nWidth);
}

Canvas Canvas::scaled(int nWidth, int nHeight) const {
    Canvas out(nWidth, nHeight);
    if (m_nWidth == 0 || m_nHeight == 0) return out;
    float fStepX = float(m_nWidth) / nWidth, fStepY = float(m_nHeight) / nHeight;
    // Each new pixel samples its footprint on a grid of at least 2 x 2.
    int nSamplesX = std::max(2, static_cast<int>(std::ceil(fStepX)) * 2);
    int nSamplesY = std::max(2, static_cast<int>(std::ceil(fStepY)) * 2);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x) {
            float r = 0, g = 0, b = 0, a = 0;
            for (int sy = 0; sy < nSamplesY; ++sy)
                for (int sx = 0; sx < nSamplesX; ++sx) {
                    int px = std::min(m_nWidth - 1, static_cast<int>((x + (sx + 0.5f) / nSamplesX) * fStepX));
                    int py = std::min(m_nHeight - 1, static_cast<int>((y + (sy + 0.5f) / nSamplesY) * fStepY));
                    const Rgba& c = m_aPixels[py * m_nWidth + px];
                    r += c.r * c.a, g += c.g * c.a, b += c.b * c.a, a += c.a;
                }
            if (a > 0) out.set(x, y, Rgba(clampByte(r / a), clampByte(g / a), clampByte(b / a),
                                          clampByte(a / (nSamplesX * nSamplesY))));
        }
    return out;
}

void Canvas::stripes(float x, float y, float w, float h, float fSpacing, const Rgba& c, float fThickness) {
    for (float py = y + fSpacing / 2; py < y + h; py += fSpacing) fillRect(x, py, w, fThickness, c);
}
