// Window placement across runs: position, size and window state of a form
// in the registry, under
//   <sKey>\<short name>
// where sKey is the component's settings key as CRegistry opens it
// ("HKEY_CURRENT_USER\Software\...") and the short name is the form's name
// without a leading "frm" (frmNotify keeps its placement in ...\Notify).
// Five DWORD values: "X", "Y", "Width", "Height" in pixels and "State"
// (0 normal, 1 minimized, 2 maximized), through the settings wrapper.
//
// Both procedures stop at the first value the registry library does not
// read or write, and return E_FAIL: the values before it are saved or
// restored, the rest are not.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "Form.h"

HRESULT SaveFormSettings(const Form& frm, std::string_view sKey) noexcept;
HRESULT LoadFormSettings(Form& frm, std::string_view sKey, bool bPositionOnly) noexcept;

// The key path of a form's placement.
std::string FormSettingsKey(const std::string& sFormName, std::string_view sKey);
