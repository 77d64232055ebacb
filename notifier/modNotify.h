// The one list window of the loaded notifier library, shared by every
// instance of the plug-in: created at the first StartUp, destroyed at
// ShutDown. Only these procedures create, show or destroy it.
#pragma once

#include <oaidl.h>

#include <string>

class frmNotify;

void CreateNotifyWindow() noexcept;
void DestroyNotifyWindow() noexcept;
void AddNotifyItem(IDispatch* mi, const std::wstring& sFolderName) noexcept;
void ShowNotifyWindow() noexcept;

// The window, or null when there is none.
frmNotify* NotifyWindow() noexcept;
