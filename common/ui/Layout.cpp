#include "Layout.h"

#include "com/ComModule.h"

namespace ui
{

RECT ControlRect(const ControlSpec& spec, const Twips& twips, POINT originPx) noexcept
{
    RECT rect = twips.ToPixels(spec.left, spec.top, spec.width, spec.height);
    ::OffsetRect(&rect, -originPx.x, -originPx.y);
    return rect;
}

bool CreateControls(const LayoutTarget& target, std::span<const ControlSpec> table, const Twips& twips,
                    const FontSet& fonts) noexcept
{
    bool all = true;
    for (const ControlSpec& spec : table) {
        const RECT r = ControlRect(spec, twips, target.originPx);
        HWND control =
            ::CreateWindowExW(spec.exStyle, spec.className, spec.text, WS_CHILD | WS_VISIBLE | spec.style, r.left,
                              r.top, r.right - r.left, r.bottom - r.top, target.parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), com::Module::Instance(), nullptr);
        if (!control) {
            all = false;
            continue;
        }
        if (HFONT font = fonts[spec.font])
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return all;
}

void PlaceControls(const LayoutTarget& target, std::span<const ControlSpec> table, const Twips& twips,
                   const FontSet& fonts) noexcept
{
    for (const ControlSpec& spec : table) {
        HWND control = ::GetDlgItem(target.parent, spec.id);
        if (!control)
            continue;
        if (HFONT font = fonts[spec.font])
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        const RECT r = ControlRect(spec, twips, target.originPx);
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
