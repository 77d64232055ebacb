#include "Panel.h"

namespace ui {

Panel::~Panel()
{
    if (Hwnd())
        ::DestroyWindow(Hwnd());
}

bool Panel::Create(const WindowClass& windowClass, const LayoutTarget& target, const ControlDesign& design,
                   const Twips& twips, HWND handler, Border border) noexcept
{
    m_handler = handler;
    m_border = border;
    return CreateFor(windowClass, design.exStyle, L"", WS_CHILD | WS_VISIBLE | design.style,
                     ControlRect(design, twips, target.originPx), target.parent, design.id) != nullptr;
}

LRESULT Panel::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
        if (m_handler)
            return ::SendMessageW(m_handler, msg, wParam, lParam);
        break;
    case WM_PAINT:
        if (m_border == Border::TabPage) {
            PAINTSTRUCT ps{};
            HDC hdc = ::BeginPaint(Hwnd(), &ps);
            PaintBorder(hdc);
            ::EndPaint(Hwnd(), &ps);
            return 0;
        }
        break;
    case WM_PRINTCLIENT:
        if (m_border == Border::TabPage) {
            PaintBorder(reinterpret_cast<HDC>(wParam));
            return 0;
        }
        break;
    default:
        break;
    }
    return Default(msg, wParam, lParam);
}

void Panel::PaintBorder(HDC hdc) noexcept
{
    RECT rc{};
    ::GetClientRect(Hwnd(), &rc);
    ::DrawEdge(hdc, &rc, EDGE_RAISED, BF_LEFT | BF_RIGHT | BF_BOTTOM);
}

} // namespace ui
