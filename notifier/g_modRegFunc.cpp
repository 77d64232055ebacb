#include "g_modRegFunc.h"

#include <cmath>

#include "Reported.h"
#include "Twips.h"
#include "com/ComRaii.h"
#include "RovaneClient.h"

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

// A Registry object for this call, its top-level Keys collection and the
// placement key, which is null (with S_OK) when it does not exist.
struct PlacementKey {
    com::ComPtr<IRegistry> registry;
    com::ComPtr<IRegistryKeys> keys;
    com::ComPtr<IRegistryKey> key;
};

HRESULT FindKey(const std::string& sPath, PlacementKey& found) noexcept
{
    CLSID clsid{};
    HRESULT hr = ::CLSIDFromProgID(L"rovane.Registry", &clsid);
    if (SUCCEEDED(hr))
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IRegistry,
                                reinterpret_cast<void**>(found.registry.GetAddressOf()));
    if (SUCCEEDED(hr))
        hr = found.registry->get_Keys(found.keys.GetAddressOf());
    if (FAILED(hr))
        return hr;
    com::Variant path;
    path.vt = VT_BSTR;
    path.bstrVal = com::Bstr::FromAnsi(sPath).release();
    if (FAILED(found.keys->get_Item(path, found.key.GetAddressOf())))
        found.key.Reset(); // a missing key is no error
    return S_OK;
}

HRESULT ReadLong(IRegistryValues* values, const char* sName, long& lResult) noexcept
{
    com::ComPtr<IRegistryValue> value;
    HRESULT hr = values->get_Item(com::Variant(com::Widen(sName)), value.GetAddressOf());
    if (FAILED(hr))
        return hr;
    com::Variant data;
    hr = value->get_Data(dtEmpty, &data);
    if (FAILED(hr))
        return hr;
    com::Variant number;
    hr = ::VariantChangeType(&number, &data, 0, VT_I4);
    if (FAILED(hr))
        return hr;
    lResult = number.lVal;
    return S_OK;
}

// Writes a 32-bit number through the value's data. A value missing from an
// existing key is created, so that one deleted value does not stop the
// placement from ever being saved again.
HRESULT WriteLong(IRegistryValues* values, const char* sName, long lData) noexcept
{
    const com::Variant name(com::Widen(sName));
    com::ComPtr<IRegistryValue> value;
    if (FAILED(values->get_Item(name, value.GetAddressOf()))) {
        value.Reset();
        return values->Add(name.bstrVal, com::Variant(lData), dtREG_DWORD, value.GetAddressOf());
    }
    return value->put_Data(dtEmpty, com::Variant(lData));
}

} // namespace

std::string FormSettingsKey(std::string_view sFormName, std::string_view sSubKey)
{
    const std::string_view shortName = sFormName.starts_with("frm") ? sFormName.substr(3) : sFormName;
    std::string path = "\\HKEY_CURRENT_USER\\Software\\Wendmoor\\";
    path += sSubKey;
    path += '\\';
    path += shortName;
    return path;
}

HRESULT SaveFormSettings(const Form& frm, std::string_view sSubKey) noexcept
{
    return RunReportedHr("SaveFormSettings()", [&]() -> HRESULT {
        const std::string path = FormSettingsKey(frm.Name(), sSubKey);
        PlacementKey placement;
        HRESULT hr = FindKey(path, placement);
        if (FAILED(hr))
            return hr;
        com::ComPtr<IRegistryKey>& key = placement.key;
        com::ComPtr<IRegistryValues> values;
        if (!key) {
            hr = placement.keys->Add(com::Bstr::FromAnsi(path).get(), aoREG_OPTION_NON_VOLATILE, key.GetAddressOf());
            if (FAILED(hr))
                return hr;
            hr = key->get_Values(values.GetAddressOf());
            if (FAILED(hr))
                return hr;
            for (const char* name : kValueNames) {
                com::ComPtr<IRegistryValue> created;
                hr = values->Add(com::Bstr::FromAnsi(name).get(), com::Variant(0L), dtREG_DWORD,
                                 created.GetAddressOf());
                if (FAILED(hr))
                    return hr;
            }
        } else {
            hr = key->get_Values(values.GetAddressOf());
            if (FAILED(hr))
                return hr;
        }
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
        for (size_t i = 0; i < std::size(kValueNames); ++i) {
            hr = WriteLong(values.Get(), kValueNames[i], data[i]);
            if (FAILED(hr))
                return hr;
        }
        return S_OK;
    });
}

HRESULT LoadFormSettings(Form& frm, std::string_view sSubKey, bool bPositionOnly) noexcept
{
    return RunReportedHr("LoadFormSettings()", [&]() -> HRESULT {
        PlacementKey placement;
        HRESULT hr = FindKey(FormSettingsKey(frm.Name(), sSubKey), placement);
        if (FAILED(hr) || !placement.key)
            return hr; // no key: the design placement stays
        com::ComPtr<IRegistryValues> values;
        hr = placement.key->get_Values(values.GetAddressOf());
        if (FAILED(hr))
            return hr;
        long state = 0;
        hr = ReadLong(values.Get(), "State", state);
        if (FAILED(hr))
            return hr;
        if (state != 0) {
            frm.SetWindowState(state);
            return S_OK;
        }
        const HWND hWnd = frm.Hwnd();
        // Each edge is applied as soon as it is read: a missing value stops here.
        const auto move = [&](const char* sName, bool bVertical, bool bSize) {
            long pixels = 0;
            HRESULT hrRead = ReadLong(values.Get(), sName, pixels);
            if (FAILED(hrRead))
                return hrRead;
            // The stored pixels times twips per pixel is the edge in twips,
            // which is that many pixels again.
            const int value = static_cast<int>(pixels);
            RECT rc{};
            ::GetWindowRect(hWnd, &rc);
            int x = rc.left, y = rc.top, cx = rc.right - rc.left, cy = rc.bottom - rc.top;
            (bSize ? (bVertical ? cy : cx) : (bVertical ? y : x)) = value;
            ::SetWindowPos(hWnd, nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE | (bSize ? SWP_NOMOVE : SWP_NOSIZE));
            return S_OK;
        };
        if (FAILED(hr = move("X", false, false)) || FAILED(hr = move("Y", true, false)))
            return hr;
        if (bPositionOnly)
            return S_OK;
        if (FAILED(hr = move("Width", false, true)) || FAILED(hr = move("Height", true, true)))
            return hr;
        return S_OK;
    });
}
