#include "ZarqHello.h"

#include <string>

#include "com/ComServer.h"
#include "com/LateBound.h"

namespace {

// {3D0F6C52-8B1E-4E8F-A6C4-5F2B9D7E1A30}: choose a new one for your plug-in.
const CLSID kClsidZarqHello = {0x3d0f6c52, 0x8b1e, 0x4e8f, {0xa6, 0xc4, 0x5f, 0x2b, 0x9d, 0x7e, 0x1a, 0x30}};

HRESULT OutText(BSTR* value, const wchar_t* text)
{
    if (!value)
        return E_POINTER;
    *value = ::SysAllocString(text);
    return *value ? S_OK : E_OUTOFMEMORY;
}

HRESULT Create(REFIID riid, void** ppv) noexcept
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    try {
        return com::Make<ZarqHello>()->QueryInterface(riid, ppv);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

} // namespace

// The class name: the DLL's name up to its first dot, letter case included.
HRESULT ZarqHello::GetClass(BSTR* value) noexcept { return OutText(value, L"ZarqHello"); }
HRESULT ZarqHello::GetFriendlyName(BSTR* value) noexcept { return OutText(value, L"Hallo"); }
HRESULT ZarqHello::GetDescription(BSTR* value) noexcept
{
    return OutText(value, L"Meldet neue Elemente an die Debug-Ausgabe");
}

HRESULT ZarqHello::GetId(VARIANT* value) noexcept
{
    if (!value)
        return E_POINTER;
    ::VariantInit(value);
    V_VT(value) = VT_BSTR;
    V_BSTR(value) = ::SysAllocString(L"{3D0F6C52-8B1E-4E8F-A6C4-5F2B9D7E1A30}");
    return S_OK;
}

// The use count of the shared instance: one per folder that uses the class.
HRESULT ZarqHello::PluginAddRef() noexcept
{
    ++m_iRefCount;
    return S_OK;
}

HRESULT ZarqHello::DeleteRef() noexcept
{
    --m_iRefCount;
    return S_OK;
}

HRESULT ZarqHello::get_RefCount(short* value) noexcept
{
    if (!value)
        return E_POINTER;
    *value = m_iRefCount;
    return S_OK;
}

// Called inside Outlook's item event: keep it short, never block.
HRESULT ZarqHello::HandleItemAdd(IDispatch* Item, _NotifyFolder* Nf) noexcept
{
    try {
        std::wstring line = L"ZarqHello: ";
        com::Variant subject;
        if (Item && SUCCEEDED(com::GetProperty(Item, L"Subject", &subject)))
            line += subject.ToString();
        com::Bstr folder;
        if (Nf && SUCCEEDED(Nf->get_FriendlyName(folder.put())))
            line += L" in " + folder.str();
        ::OutputDebugStringW(line.c_str());
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT ZarqHello::Info() noexcept
{
    ::MessageBoxW(nullptr, L"ZarqHello: ein Beispiel-Plug-in für corvane", L"ZarqHello", MB_OK | MB_ICONINFORMATION);
    return S_OK;
}

// Nothing to set up, configure or keep.
HRESULT ZarqHello::Configure() noexcept { return S_OK; }
HRESULT ZarqHello::StartUp() noexcept { return S_OK; }
HRESULT ZarqHello::ShutDown() noexcept { return S_OK; }
HRESULT ZarqHello::LoadSettings(BSTR) noexcept { return S_OK; }
HRESULT ZarqHello::SaveSettings(BSTR) noexcept { return S_OK; }
HRESULT ZarqHello::BeforeSaveSettings() noexcept { return S_OK; }

// The DLL's one class, registered under "<class name>.ZarqPlugin".
namespace com {

std::span<const ComClass> ServerClasses()
{
    static const ComClass classes[] = {
        {&kClsidZarqHello, L"ZarqHello.ZarqPlugin", nullptr, L"ZarqHello.ZarqPlugin", &Create},
    };
    return classes;
}

} // namespace com
