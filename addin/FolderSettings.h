// Reading a watched folder's settings through its published interface, for
// the alerts and the configuration file alike. A read that fails throws
// with the call's own description.
#pragma once

#include <string>

#include "ErrorText.h"
#include "com/ComRaii.h"
#include "corvane.h"

inline bool FolderFlag(_NotifyFolder* nf, HRESULT (STDMETHODCALLTYPE _NotifyFolder::*get)(VARIANT_BOOL*))
{
    VARIANT_BOOL value = VARIANT_FALSE;
    Check((nf->*get)(&value));
    return value != VARIANT_FALSE;
}

inline std::wstring FolderText(_NotifyFolder* nf, HRESULT (STDMETHODCALLTYPE _NotifyFolder::*get)(BSTR*))
{
    com::Bstr value;
    Check((nf->*get)(value.put()));
    return value.str();
}
