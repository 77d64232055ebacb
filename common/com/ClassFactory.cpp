#include "com/ClassFactory.h"

namespace com {

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID riid, void** ppv) noexcept
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    return m_entry.create(riid, ppv);
}

HRESULT ClassFactory::LockServer(BOOL lock) noexcept
{
    Module::Lock(lock != FALSE);
    return S_OK;
}

} // namespace com
