#include "Twips.h"

Twips::Twips() noexcept : m_dpiX(96), m_dpiY(96)
{
    if (HDC screen = ::GetDC(nullptr)) {
        m_dpiX = ::GetDeviceCaps(screen, LOGPIXELSX);
        m_dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
    }
    if (m_dpiX <= 0)
        m_dpiX = 96;
    if (m_dpiY <= 0)
        m_dpiY = 96;
}
