// The class factory: one object per request, serving one table entry.
#pragma once

#include <unknwn.h>

#include "com/ComObject.h"
#include "com/ComServer.h"

namespace com {

class ClassFactory final : public ComObject<ClassFactory, IClassFactory> {
  public:
    explicit ClassFactory(const ComClass& entry) noexcept : m_entry(entry) {}

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) noexcept override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override;

  private:
    const ComClass& m_entry;
};

} // namespace com
