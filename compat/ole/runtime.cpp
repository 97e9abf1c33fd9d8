#include "ole/runtime.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ole {

namespace {

constexpr GUID ourIid(std::uint8_t n) { return GUID{0x0AE00000, 0, 0, {0, 0, 0, 0, 0, 0, 0, n}}; }

} // namespace

const IID IID_IUnknown = ourIid(1);
const IID IID_IDispatch = ourIid(2);
const IID IID_IClassFactory = ourIid(3);
const IID IID_IOleClientSite = ourIid(4);
const IID IID_IOleWindow = ourIid(5);
const IID IID_IOleInPlaceSite = ourIid(6);
const IID IID_IOleInPlaceSiteEx = ourIid(7);
const IID IID_IOleInPlaceSiteWindowless = ourIid(8);
const IID IID_IOleInPlaceUIWindow = ourIid(9);
const IID IID_IOleInPlaceFrame = ourIid(10);
const IID IID_IStorage = ourIid(11);
const IID IID_IOleObject = ourIid(12);
const IID IID_IViewObject = ourIid(13);
const IID IID_IViewObjectEx = ourIid(14);
const IID IID_IOleInPlaceObject = ourIid(15);
const IID IID_IOleInPlaceObjectWindowless = ourIid(16);
const IID IID_IConnectionPointContainer = ourIid(17);
const IID IID_IConnectionPoint = ourIid(18);

namespace {

struct ClassEntry {
    CLSID clsid;
    ClassFactoryMaker fnMake;
};

struct Library {
    std::string sName;
    std::map<std::string, FARPROC> exports;
    int nLoads = 0;
};

struct Registry {
    std::vector<ClassEntry> classes;
    std::vector<std::unique_ptr<Library>> libraries;
    int nOleInits = 0;
};

Registry& registry() {
    static Registry s_registry;
    return s_registry;
}

IClassFactory* makeFactory(REFCLSID rclsid) {
    for (const ClassEntry& entry : registry().classes)
        if (entry.clsid == rclsid) return entry.fnMake();
    return nullptr;
}

Library* findLibrary(HMODULE hModule) {
    for (const std::unique_ptr<Library>& pLibrary : registry().libraries)
        if (reinterpret_cast<HMODULE>(pLibrary.get()) == hModule) return pLibrary.get();
    return nullptr;
}

} // namespace

HRESULT OleInitialize(void*) { return registry().nOleInits++ == 0 ? S_OK : S_FALSE; }

void OleUninitialize() {
    if (registry().nOleInits > 0) --registry().nOleInits;
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (!(dwClsContext & (CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER))) return E_INVALIDARG;
    IClassFactory* pFactory = makeFactory(rclsid);
    if (!pFactory) return REGDB_E_CLASSNOTREG;
    HRESULT hr = pFactory->CreateInstance(pUnkOuter, riid, ppv);
    pFactory->Release();
    return hr;
}

HRESULT OleCreate(REFCLSID rclsid, REFIID riid, DWORD, FORMATETC*, IOleClientSite* pClientSite, IStorage*,
                  void** ppvObj) {
    if (!ppvObj) return E_POINTER;
    *ppvObj = nullptr;
    IOleObject* pObject = nullptr;
    HRESULT hr = CoCreateInstance(rclsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                  reinterpret_cast<void**>(&pObject));
    if (FAILED(hr)) return hr;
    if (pClientSite) hr = pObject->SetClientSite(pClientSite);
    if (SUCCEEDED(hr)) hr = pObject->QueryInterface(riid, ppvObj);
    if (FAILED(hr) && pClientSite) pObject->SetClientSite(nullptr);
    pObject->Release();
    return hr;
}

HRESULT OleSetContainedObject(IUnknown* pUnknown, BOOL) { return pUnknown ? S_OK : E_INVALIDARG; }

HRESULT OleDraw(IUnknown* pUnknown, DWORD dwAspect, HDC hdcDraw, LPCRECT lprcBounds) {
    if (!pUnknown || !lprcBounds) return E_INVALIDARG;
    IViewObject* pView = nullptr;
    HRESULT hr = pUnknown->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&pView));
    if (FAILED(hr)) return hr;
    RECTL bounds = {lprcBounds->left, lprcBounds->top, lprcBounds->right, lprcBounds->bottom};
    hr = pView->Draw(dwAspect, -1, nullptr, nullptr, nullptr, hdcDraw, &bounds, nullptr, nullptr, 0);
    pView->Release();
    return hr;
}

HMODULE LoadLibraryA(const char* pszFileName) {
    if (!pszFileName) return nullptr;
    for (const std::unique_ptr<Library>& pLibrary : registry().libraries) {
        if (pLibrary->sName == pszFileName) {
            ++pLibrary->nLoads;
            return reinterpret_cast<HMODULE>(pLibrary.get());
        }
    }
    return nullptr;
}

FARPROC GetProcAddress(HMODULE hModule, const char* pszProcName) {
    Library* pLibrary = findLibrary(hModule);
    if (!pLibrary || !pszProcName || pLibrary->nLoads == 0) return nullptr;
    auto found = pLibrary->exports.find(pszProcName);
    return found == pLibrary->exports.end() ? nullptr : found->second;
}

BOOL FreeLibrary(HMODULE hModule) {
    Library* pLibrary = findLibrary(hModule);
    if (!pLibrary || pLibrary->nLoads == 0) return FALSE;
    --pLibrary->nLoads;
    return TRUE;
}

void registerControlClass(REFCLSID rclsid, ClassFactoryMaker fnMake) {
    unregisterControlClass(rclsid);
    registry().classes.push_back(ClassEntry{rclsid, std::move(fnMake)});
}

void unregisterControlClass(REFCLSID rclsid) {
    auto& classes = registry().classes;
    for (auto it = classes.begin(); it != classes.end(); ++it) {
        if (it->clsid == rclsid) {
            classes.erase(it);
            return;
        }
    }
}

void registerLibrary(const char* pszFileName, const std::map<std::string, FARPROC>& exports) {
    unregisterLibrary(pszFileName);
    std::unique_ptr<Library> pLibrary(new Library);
    pLibrary->sName = pszFileName;
    pLibrary->exports = exports;
    registry().libraries.push_back(std::move(pLibrary));
}

void unregisterLibrary(const char* pszFileName) {
    auto& libraries = registry().libraries;
    for (auto it = libraries.begin(); it != libraries.end(); ++it) {
        if ((*it)->sName == pszFileName) {
            libraries.erase(it);
            return;
        }
    }
}

int getLoadedLibraryCount() {
    int nCount = 0;
    for (const std::unique_ptr<Library>& pLibrary : registry().libraries) nCount += pLibrary->nLoads;
    return nCount;
}

} // namespace ole
