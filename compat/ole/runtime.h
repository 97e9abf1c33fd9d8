// OLE's start-up, object creation and drawing, over two registries that are
// empty unless someone fills them: control classes by class id, and
// libraries by file name. The program registers nothing, so every creation
// fails cleanly; tests register scripted controls.
#pragma once

#include "ole/interfaces.h"

#include <functional>
#include <map>
#include <string>

namespace ole {

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;

// S_OK on the first call, S_FALSE on the nested ones.
HRESULT OleInitialize(void* pReserved);
void OleUninitialize();
HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, void** ppv);
// Creates the object, gives it the client site and asks it for riid.
HRESULT OleCreate(REFCLSID rclsid, REFIID riid, DWORD renderopt, FORMATETC* pFormatEtc, IOleClientSite* pClientSite,
                  IStorage* pStg, void** ppvObj);
HRESULT OleSetContainedObject(IUnknown* pUnknown, BOOL fContained);
// Draws the object's view into the context over the rectangle.
HRESULT OleDraw(IUnknown* pUnknown, DWORD dwAspect, HDC hdcDraw, LPCRECT lprcBounds);

using DllGetClassObjectFn = HRESULT (*)(REFCLSID rclsid, REFIID riid, void** ppv);
using FARPROC = void*;
HMODULE LoadLibraryA(const char* pszFileName);
FARPROC GetProcAddress(HMODULE hModule, const char* pszProcName);
BOOL FreeLibrary(HMODULE hModule);

// ---- the registries --------------------------------------------------------------
// A class's factory maker; the registry hands out what it returns (one reference).
using ClassFactoryMaker = std::function<IClassFactory*()>;
void registerControlClass(REFCLSID rclsid, ClassFactoryMaker fnMake);
void unregisterControlClass(REFCLSID rclsid);
// A library by file name with its exports.
void registerLibrary(const char* pszFileName, const std::map<std::string, FARPROC>& exports);
void unregisterLibrary(const char* pszFileName);
// Libraries loaded and not freed.
int getLoadedLibraryCount();

} // namespace ole
