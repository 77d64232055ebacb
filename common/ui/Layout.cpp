#include "Layout.h"

#include "com/ComModule.h"

namespace ui {

RECT ControlRect(const ControlDesign& design, const Twips& twips, POINT originPx) noexcept
{
    RECT rect = twips.ToPixels(design.left, design.top, design.width, design.height);
    ::OffsetRect(&rect, -originPx.x, -originPx.y);
    return rect;
}

bool CreateControls(const LayoutTarget& target, std::span<const ControlDesign> table, const Twips& twips,
                    const FontSet& fonts) noexcept
{
    bool all = true;
    for (const ControlDesign& design : table) {
        const RECT r = ControlRect(design, twips, target.originPx);
        HWND control = ::CreateWindowExW(
            design.exStyle, design.className, design.text, WS_CHILD | WS_VISIBLE | design.style, r.left, r.top,
            r.right - r.left, r.bottom - r.top, target.parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(design.id)),
            com::Module::Instance(), nullptr);
        if (!control) {
            all = false;
            continue;
        }
        if (HFONT font = fonts[design.font])
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return all;
}

void PlaceControls(const LayoutTarget& target, std::span<const ControlDesign> table, const Twips& twips,
                   const FontSet& fonts) noexcept
{
    for (const ControlDesign& design : table) {
        HWND control = ::GetDlgItem(target.parent, design.id);
        if (!control)
            continue;
        if (HFONT font = fonts[design.font])
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        const RECT r = ControlRect(design, twips, target.originPx);
        ::SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(target.parent, nullptr, TRUE);
}

RECT ChildRect(HWND child) noexcept
{
    RECT rect{};
    if (::GetWindowRect(child, &rect))
        ::MapWindowPoints(nullptr, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace ui
