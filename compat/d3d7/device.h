// Direct3D 7: the Direct3D object (depth formats, device creation) and the software
// device that draws triangle strips and fans into a 32-bit colour surface.
#pragma once

#include <vector>

#include "d3d7/rasterizer.h"
#include "d3d7/surface.h"
#include "d3d7/unknown.h"

namespace dx7 {

class IDirect3DDevice7;
class IDirectDraw7;

class IDirect3D7 : public IUnknown {
 public:
  // Offers, in this order: 16-bit depth without stencil, 24-bit depth with 8-bit stencil.
  HRESULT EnumZBufferFormats(REFCLSID riidDevice, LPD3DENUMPIXELFORMATSCALLBACK pCallback, void* pContext);
  // riid must be IID_IDirect3DHALDevice; the target a colour surface made with
  // DDSCAPS_3DDEVICE. A depth surface attached to the target beforehand supplies the
  // stencil buffer.
  HRESULT CreateDevice(REFCLSID riid, IDirectDrawSurface7* pTarget, IDirect3DDevice7** ppDevice);

  static IDirect3D7* create(IDirectDraw7* pDD);

 private:
  explicit IDirect3D7(IDirectDraw7* pDD);
  ~IDirect3D7() override;
  IDirectDraw7* m_pDD;  // AddRef'd
};

// Which rows of each column of a matrix hold something other than zero.
struct NonZeroRows {
  NonZeroRows() = default;
  explicit NonZeroRows(const D3DMATRIX& m);
  int m_aCount[4] = {};
  int m_aRows[4][4] = {};
};

// Differences from the hardware device worth knowing:
// - ZENABLE, LIGHTING and TEXTUREPERSPECTIVE are accepted and ignored: there is no depth
//   test, vertex colours are never lit and mapping is affine (the projection is
//   orthographic anyway).
// - Texture addressing is always clamped (it is the default here); filtering is point
//   or bilinear, chosen by MAGFILTER or MINFILTER from the texel-to-pixel ratio.
// - Without a bound texture the texture argument reads as opaque white, so untextured
//   geometry shows its vertex colour.
// - The render target is X8R8G8B8: its alpha byte is written as 0xFF.
// - Clear with D3DCLEAR_STENCIL or D3DCLEAR_ZBUFFER but no depth surface fails with
//   D3DERR_STENCILBUFFER_NOTPRESENT and clears nothing, as the hardware device does.
// - States or values outside the set listed in types.h answer DDERR_INVALIDPARAMS.
class IDirect3DDevice7 : public IUnknown {
 public:
  HRESULT BeginScene();
  HRESULT EndScene();
  HRESULT Clear(DWORD dwCount, D3DRECT* pRects, DWORD dwFlags, D3DCOLOR dwColor, D3DVALUE dvZ, DWORD dwStencil);
  HRESULT SetViewport(D3DVIEWPORT7* pViewport);
  HRESULT GetViewport(D3DVIEWPORT7* pViewport);
  HRESULT SetTransform(D3DTRANSFORMSTATETYPE eType, D3DMATRIX* pMatrix);
  HRESULT SetRenderState(D3DRENDERSTATETYPE eState, DWORD dwValue);
  HRESULT SetTextureStageState(DWORD dwStage, D3DTEXTURESTAGESTATETYPE eType, DWORD dwValue);
  // Stage 0 only. The device holds a reference to the bound texture.
  HRESULT SetTexture(DWORD dwStage, IDirectDrawSurface7* pTexture);
  // D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1 (24-byte vertices), strips and fans,
  // between BeginScene and EndScene.
  HRESULT DrawPrimitive(D3DPRIMITIVETYPE eType, DWORD dwVertexFormat, void* pVertices, DWORD dwCount, DWORD dwFlags);
  // Not in Direct3D 7: dwQuads 4-vertex strips under the current states and texture, quad
  // i under view transform pViews[i]; draws and records exactly what SetTransform(VIEW)
  // and DrawPrimitive per quad would, the view left as the last quad's. The states, the
  // texture and the target are looked at once for the whole run, not once per quad.
  HRESULT DrawQuadStrips(DWORD dwVertexFormat, const D3DMATRIX* pViews, const void* pVertices, DWORD dwQuads);

  // The most recently created device that still exists (for the test hooks).
  static IDirect3DDevice7* current();
  IDirectDrawSurface7* renderTarget() const { return m_pTarget; }

 private:
  friend class IDirect3D7;
  explicit IDirect3DDevice7(IDirectDrawSurface7* pTarget);
  ~IDirect3DDevice7() override;

  bool isValidRenderState(D3DRENDERSTATETYPE eState, DWORD dwValue) const;
  HRESULT preparePixelState(raster::PixelState& state) const;
  void transform(const BYTE* pVertices, DWORD dwCount, raster::ScreenVertex* pOut) const;
  // Points the rasterizer at the target, the viewport, the bound texture and the states.
  void prepareRasterizer(const raster::PixelState& state, bool bQuads, raster::TextureView& texture);
  raster::ClipRect viewportRect() const;

  IDirectDrawSurface7* m_pTarget;           // AddRef'd
  IDirectDrawSurface7* m_pDepth = nullptr;  // AddRef'd, may be null
  IDirectDrawSurface7* m_pTexture = nullptr;
  bool m_bInScene = false;
  D3DVIEWPORT7 m_viewport;
  D3DMATRIX m_aTransforms[3];
  mutable double m_aAll[4][4] = {};  // world x view x projection, made again after SetTransform
  mutable bool m_bTransformDirty = true;
  bool m_bWorldIdentity = true;
  NonZeroRows m_projectionNonZero;
  DWORD m_aRenderStates[160];
  DWORD m_aStageStates[18];
  raster::Rasterizer m_rasterizer;
  std::vector<raster::ScreenVertex> m_aScreen;  // kept between draws: one sprite, no allocation
};

using LPDIRECT3D7 = IDirect3D7*;
using LPDIRECT3DDEVICE7 = IDirect3DDevice7*;

}  // namespace dx7
