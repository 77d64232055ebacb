// Owners of the window-related handles that are not GDI objects: a hook,
// an image list, an accelerator table. One line each over the kit's handle
// template.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "com/ComRaii.h"

namespace ui {

namespace detail {
inline void UnhookNoResult(HHOOK h) noexcept { ::UnhookWindowsHookEx(h); }
inline void ImageListDestroyNoResult(HIMAGELIST h) noexcept { ::ImageList_Destroy(h); }
inline void DestroyAcceleratorTableNoResult(HACCEL h) noexcept { ::DestroyAcceleratorTable(h); }
} // namespace detail

using UniqueHHook = com::UniqueAny<HHOOK, detail::UnhookNoResult>;
using UniqueHImageList = com::UniqueAny<HIMAGELIST, detail::ImageListDestroyNoResult>;
using UniqueHAccel = com::UniqueAny<HACCEL, detail::DestroyAcceleratorTableNoResult>;

} // namespace ui
