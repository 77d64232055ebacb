#include "PropertyPages.h"

#include <olectl.h>

#include "Application.h"
#include "Folder.h"
#include "NameSpace.h"
#include "Session.h"
#include "com/AutomationValues.h"

namespace outlooksim {

namespace {

// The control's caption (DISPID_CAPTION), which Outlook takes as the tab's
// title when Add is given none.
std::wstring ControlCaption(IUnknown* control)
{
    com::ComPtr<IDispatch> disp;
    if (FAILED(control->QueryInterface(IID_PPV_ARGS(&disp))))
        return {};
    DISPPARAMS none{};
    com::Variant caption;
    if (FAILED(disp->Invoke(DISPID_CAPTION, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &caption,
                            nullptr, nullptr)))
        return {};
    return caption.ToString();
}

// The page argument: an object, or the ProgID of a control to create.
com::ComPtr<IUnknown> PageControl(const VARIANT& page, HRESULT* hr)
{
    com::Variant value;
    *hr = value.Copy(page);
    if (FAILED(*hr))
        return nullptr;
    com::ComPtr<IUnknown> control;
    if (value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) {
        control = value.vt == VT_DISPATCH ? static_cast<IUnknown*>(value.pdispVal) : value.punkVal;
    } else if (value.vt == VT_BSTR) {
        CLSID clsid{};
        *hr = ::CLSIDFromProgID(value.bstrVal, &clsid);
        if (SUCCEEDED(*hr))
            *hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&control));
        return SUCCEEDED(*hr) ? control : nullptr;
    }
    *hr = control ? S_OK : E_INVALIDARG;
    return control;
}

} // namespace

PropertyPages::PropertyPages(std::shared_ptr<Session> session, Folder* folder)
    : m_session(std::move(session)), m_folder(folder)
{
}

void PropertyPages::Note(const std::wstring& text) const { m_session->GetTrace().Outlook(L"PropertyPages." + text); }

HRESULT PropertyPages::get_Application(_Application** value) noexcept
{
    return Guard([&] {
        Note(L"Application");
        return com::Out(value, m_session->App());
    });
}

HRESULT PropertyPages::get_Class(OlObjectClass* value) noexcept
{
    return Guard([&]() -> HRESULT {
        if (!value)
            return E_POINTER;
        *value = olPropertyPages;
        return S_OK;
    });
}

HRESULT PropertyPages::get_Session(_NameSpace** value) noexcept
{
    return Guard([&] {
        Note(L"Session");
        return com::Out(value, m_session->Mapi());
    });
}

HRESULT PropertyPages::get_Parent(IDispatch** value) noexcept
{
    return Guard([&] {
        Note(L"Parent -> " + Trace::Quoted(m_folder->Name()));
        return com::Out(value, static_cast<MAPIFolder*>(m_folder.Get()));
    });
}

HRESULT PropertyPages::get_Count(long* value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        *value = static_cast<long>(m_entries.size());
        Note(L"Count -> " + std::to_wstring(*value));
        return S_OK;
    });
}

size_t PropertyPages::Find(const VARIANT& index) const
{
    com::Variant value;
    if (FAILED(value.Copy(index)))
        return std::wstring::npos;
    if (value.vt == VT_BSTR) {
        for (size_t i = 0; i < m_entries.size(); ++i)
            if (m_entries[i].title == value.ToString())
                return i;
        return std::wstring::npos;
    }
    long n = value.ToLong(0);
    return n >= 1 && static_cast<size_t>(n) <= m_entries.size() ? static_cast<size_t>(n - 1) : std::wstring::npos;
}

HRESULT PropertyPages::Item(VARIANT Index, IDispatch** value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        *value = nullptr;
        size_t i = Find(Index);
        Note(L"Item(" + com::Variant(Index).ToString() + L")" + (i == std::wstring::npos ? L" -> error" : L""));
        if (i == std::wstring::npos)
            return Fail(DISP_E_BADINDEX, Session::kInvalidArgument);
        return m_entries[i].control->QueryInterface(IID_PPV_ARGS(value));
    });
}

HRESULT PropertyPages::Add(VARIANT Page, BSTR Title) noexcept
{
    return Guard([&] {
        std::wstring title = com::Bstr(Title).str();
        std::wstring call = L"Add(page, " + Trace::Quoted(title) + L")";
        if (!m_open) {
            Note(call + L" -> error: the dialog is already open");
            return Fail(E_FAIL, kClosed);
        }
        HRESULT hr = S_OK;
        com::ComPtr<IUnknown> control = PageControl(Page, &hr);
        if (!control) {
            Note(call + L" -> error " + Trace::Hresult(hr));
            return Fail(FAILED(hr) ? hr : E_INVALIDARG, Session::kInvalidArgument);
        }
        if (title.empty())
            title = ControlCaption(control.Get());
        if (title.empty())
            title = L"Seite " + std::to_wstring(m_entries.size() + 1);
        m_entries.push_back(Entry{control, title});
        Note(call + L" -> page " + std::to_wstring(m_entries.size()) + L" " + Trace::Quoted(title));
        return S_OK;
    });
}

HRESULT PropertyPages::Remove(VARIANT Index) noexcept
{
    return Guard([&] {
        size_t i = Find(Index);
        Note(L"Remove(" + com::Variant(Index).ToString() + L")" + (i == std::wstring::npos ? L" -> error" : L""));
        if (!m_open)
            return Fail(E_FAIL, kClosed);
        if (i == std::wstring::npos)
            return Fail(DISP_E_BADINDEX, Session::kInvalidArgument);
        m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(i));
        return S_OK;
    });
}

} // namespace outlooksim
