// Reference-counted base of every object of the stand-in. Objects are created with a
// count of 1 and delete themselves when Release brings it to 0, as callers of the
// original API expect.
#pragma once

#include "d3d7/types.h"

namespace dx7 {

class IUnknown {
 public:
  IUnknown();
  IUnknown(const IUnknown&) = delete;
  IUnknown& operator=(const IUnknown&) = delete;

  virtual ULONG AddRef();
  virtual ULONG Release();

 protected:
  virtual ~IUnknown();
  ULONG refCount() const { return m_nRefs; }

 private:
  ULONG m_nRefs;
};

}  // namespace dx7
