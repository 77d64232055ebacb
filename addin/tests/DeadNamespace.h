// A namespace object that knows no member: every folder lookup fails, so
// folders are added to a collection without being bound to Outlook.
#pragma once

#include "com/ComObject.h"

class DeadNamespace final : public com::ComObject<DeadNamespace, IDispatch> {
  public:
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override
    {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override
    {
        return DISP_E_MEMBERNOTFOUND;
    }
};
