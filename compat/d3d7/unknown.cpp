#include "d3d7/unknown.h"

#include "d3d7/test_hooks.h"

namespace dx7 {

IUnknown::IUnknown() : m_nRefs(1) { test::detail::objectCreated(); }

IUnknown::~IUnknown() { test::detail::objectDestroyed(); }

ULONG IUnknown::AddRef() { return ++m_nRefs; }

ULONG IUnknown::Release() {
  ULONG nLeft = --m_nRefs;
  if (nLeft == 0) delete this;
  return nLeft;
}

}  // namespace dx7
