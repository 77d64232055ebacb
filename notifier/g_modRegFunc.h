// Window placement across runs: position, size and window state of a form
// in the registry, under
//   \HKEY_CURRENT_USER\Software\Wendmoor\<sSubKey>\<short name>
// where the short name is the form's name without a leading "frm"
// (frmNotify keeps its placement in ...\Notify). Five DWORD values: "X",
// "Y", "Width", "Height" in pixels and "State" (0 normal, 1 minimized,
// 2 maximized). The registry library's object model is used directly.
//
// Both procedures return the first failure of the registry library: the
// values before it are saved or restored, the rest are not. A failure of
// their own (an exception) ends them with its HRESULT and an Error record.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "Form.h"

HRESULT SaveFormSettings(const Form& frm, std::string_view sSubKey) noexcept;
HRESULT LoadFormSettings(Form& frm, std::string_view sSubKey, bool bPositionOnly) noexcept;

// The key path of a form's placement.
std::string FormSettingsKey(std::string_view sFormName, std::string_view sSubKey);
