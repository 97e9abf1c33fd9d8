// Software stand-in for DirectDraw 7, Direct3D 7 and the D3DX helpers.
//
// Include as  #include "d3d7/d3d7.h"  (link the compat_d3d7 target; it adds compat/ to
// the include path). Everything lives in namespace dx7 under the classic names
// (IDirectDraw7, IDirectDrawSurface7, IDirect3DDevice7, DDSURFACEDESC2, D3DXMATRIX,
// DD_OK, D3DRENDERSTATE_..., ...) so driver code reads like code for the original API;
// FAILED and SUCCEEDED are macros as usual. Only the calls, states and values a 2-D
// sprite driver needs exist; anything else is refused with DDERR_INVALIDPARAMS or
// DDERR_UNSUPPORTED rather than silently ignored.
//
// How it maps onto SDL 1.2:
// - The display is the SDL video surface. Open the window with SDL_SetVideoMode first;
//   the primary surface then stands for it (coordinates are client coordinates, the
//   window's client origin is always 0, 0).
// - Back buffers, off-screen surfaces and textures are 32-bit ARGB arrays in memory.
//   Blt onto the primary and Flip copy with SDL_BlitSurface and show with SDL_Flip; the
//   back buffer keeps its pixels from frame to frame.
// - Drawing is done by a software rasterizer (rasterizer.h): pixel centres at integer
//   coordinates, top-left fill rule, texture x diffuse, alpha test, blending, 8-bit
//   stencil, clamped addressing, point and bilinear filtering.
//
// Tests reach the frame, the stencil, object counts, a call recording and fault
// injection through test_hooks.h (namespace dx7::test).
#pragma once

#include "d3d7/d3dx.h"
#include "d3d7/ddraw.h"
#include "d3d7/device.h"
#include "d3d7/surface.h"
#include "d3d7/test_hooks.h"
#include "d3d7/types.h"
#include "d3d7/unknown.h"
