#include "g_modRegFunc.h"

#include <cmath>

#include "CRegistry.h"
#include "Reported.h"
#include "Twips.h"

namespace {

const char* const kValueNames[] = {"X", "Y", "Width", "Height", "State"};

// Both operands rounded to integers (halves to the even neighbour), the
// quotient truncated toward zero.
long DivideRounded(double dividend, double divisor) noexcept
{
    const double a = std::nearbyint(dividend); // the default rounding mode rounds halves to even
    const double b = std::nearbyint(divisor);
    if (b == 0)
        return 0;
    return static_cast<long>(std::trunc(a / b));
}

} // namespace

std::string FormSettingsKey(const std::string& sFormName, std::string_view sKey)
{
    const std::string shortName = sFormName.compare(0, 3, "frm") == 0 ? sFormName.substr(3) : sFormName;
    return std::string(sKey) + "\\" + shortName;
}

HRESULT SaveFormSettings(const Form& frm, std::string_view sKey) noexcept
{
    return RunReportedHr("SaveFormSettings()", [&]() -> HRESULT {
        CRegistry reg;
        if (!reg.OpenKey(FormSettingsKey(frm.Name(), sKey), true))
            return E_FAIL;
        RECT rc{};
        ::GetWindowRect(frm.Hwnd(), &rc);
        const Twips twips;
        const long data[] = {
            DivideRounded(twips.ToTwipsX(rc.left), twips.PerPixelX()),
            DivideRounded(twips.ToTwipsY(rc.top), twips.PerPixelY()),
            DivideRounded(twips.ToTwipsX(rc.right - rc.left), twips.PerPixelX()),
            DivideRounded(twips.ToTwipsY(rc.bottom - rc.top), twips.PerPixelY()),
            frm.GetWindowState(),
        };
        // A value missing from the key (deleted by hand, say) is created, so
        // that one lost value does not stop the placement from being saved.
        for (size_t i = 0; i < std::size(kValueNames); ++i)
            if (!reg.WriteDWORD(kValueNames[i], data[i], true))
                return E_FAIL;
        return S_OK;
    });
}

HRESULT LoadFormSettings(Form& frm, std::string_view sKey, bool bPositionOnly) noexcept
{
    return RunReportedHr("LoadFormSettings()", [&]() -> HRESULT {
        CRegistry reg;
        if (!reg.OpenKey(FormSettingsKey(frm.Name(), sKey), false))
            return S_OK; // no key: the design placement stays
        long state = 0;
        if (!reg.ReadNumber("State", state))
            return E_FAIL;
        if (state != 0) {
            frm.SetWindowState(state);
            return S_OK;
        }
        const HWND hWnd = frm.Hwnd();
        // Each edge is applied as soon as it is read: a missing value stops here.
        const auto move = [&](const char* sName, bool bVertical, bool bSize) {
            long pixels = 0;
            if (!reg.ReadNumber(sName, pixels))
                return false;
            // The stored pixels times twips per pixel is the edge in twips,
            // which is that many pixels again.
            const int value = static_cast<int>(pixels);
            RECT rc{};
            ::GetWindowRect(hWnd, &rc);
            int x = rc.left, y = rc.top, cx = rc.right - rc.left, cy = rc.bottom - rc.top;
            (bSize ? (bVertical ? cy : cx) : (bVertical ? y : x)) = value;
            ::SetWindowPos(hWnd, nullptr, x, y, cx, cy,
                           SWP_NOZORDER | SWP_NOACTIVATE | (bSize ? SWP_NOMOVE : SWP_NOSIZE));
            return true;
        };
        if (!move("X", false, false) || !move("Y", true, false))
            return E_FAIL;
        if (bPositionOnly)
            return S_OK;
        if (!move("Width", false, true) || !move("Height", true, true))
            return E_FAIL;
        return S_OK;
    });
}
