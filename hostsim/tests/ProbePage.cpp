#include "ProbePage.h"

#include "ProbeAddin.h"
#include "ProbeLog.h"
#include "com/ComModule.h"

using probe::Hex;
using probe::Record;

namespace {
constexpr const wchar_t* kWindowClass = L"corvaneProbePage";
constexpr int kChangeButton = 101;
} // namespace

ProbePage::ProbePage(ProbeAddin* owner, IDispatch* folder) : m_owner(owner), m_folder(folder) {}

ProbePage::~ProbePage()
{
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
    Record(L"page: released");
}

HRESULT ProbePage::QueryInterfaceExtra(REFIID riid, void** ppv) noexcept
{
    if (riid != IID_IOleWindow)
        return E_NOINTERFACE;
    *ppv = static_cast<IOleInPlaceObject*>(this);
    AddRef();
    return S_OK;
}

HRESULT ProbePage::get_PageCaption(BSTR* value) noexcept
{
    *value = com::Bstr(L"Probe").release();
    return S_OK;
}

HRESULT ProbePage::MarkDirty() noexcept
{
    m_dirty = true;
    HRESULT hr = m_site ? m_site->OnStatusChange() : S_FALSE;
    Record(L"page: MarkDirty, OnStatusChange -> " + Hex(hr));
    return S_OK;
}

HRESULT ProbePage::get_ApplyCount(long* value) noexcept
{
    *value = m_applied;
    return S_OK;
}

HRESULT ProbePage::get_HasSite(VARIANT_BOOL* value) noexcept
{
    *value = m_site ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT ProbePage::get_Window(long* value) noexcept
{
    *value = static_cast<long>(reinterpret_cast<LONG_PTR>(m_hwnd));
    return S_OK;
}

// Leaves both outputs as they are: the page has no help.
HRESULT ProbePage::GetPageInfo(BSTR*, long*) noexcept
{
    Record(L"page: GetPageInfo");
    return S_OK;
}

HRESULT ProbePage::get_Dirty(VARIANT_BOOL* Dirty) noexcept
{
    *Dirty = m_dirty ? VARIANT_TRUE : VARIANT_FALSE;
    Record(std::wstring(L"page: Dirty -> ") + (m_dirty ? L"True" : L"False"));
    return S_OK;
}

HRESULT ProbePage::Apply() noexcept
{
    ++m_applied;
    Record(L"page: Apply (" + std::to_wstring(m_applied) + L")");
    if (m_owner && m_folder)
        m_owner->Watch(m_folder.Get());
    return S_OK;
}

HRESULT ProbePage::SetClientSite(IOleClientSite* site) noexcept
{
    m_clientSite = site;
    m_site.Reset();
    if (!site) {
        Record(L"page: SetClientSite(Nothing)");
        return S_OK;
    }
    // The client site first, as pages known to work in Outlook ask; the container second.
    com::ComPtr<IOleContainer> container;
    if (FAILED(site->QueryInterface(IID_PropertyPageSite, reinterpret_cast<void**>(m_site.GetAddressOf()))) &&
        SUCCEEDED(site->GetContainer(&container)))
        container->QueryInterface(IID_PropertyPageSite, reinterpret_cast<void**>(m_site.GetAddressOf()));
    Record(std::wstring(L"page: SetClientSite, PropertyPageSite ") + (m_site ? L"found" : L"not found"));
    return S_OK;
}

HRESULT ProbePage::GetClientSite(IOleClientSite** site) noexcept
{
    *site = m_clientSite.Get();
    if (*site)
        (*site)->AddRef();
    return S_OK;
}

HRESULT ProbePage::Close(DWORD) noexcept
{
    Record(L"page: Close");
    return S_OK;
}

HRESULT ProbePage::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) noexcept
{
    com::ComPtr<IOleInPlaceSite> inPlace;
    if (!site || FAILED(site->QueryInterface(IID_PPV_ARGS(&inPlace))) || inPlace->CanInPlaceActivate() != S_OK) {
        Record(L"page: DoVerb(" + std::to_wstring(verb) + L") without an in-place site");
        return E_FAIL;
    }
    inPlace->OnInPlaceActivate();
    com::ComPtr<IOleInPlaceFrame> frame;
    com::ComPtr<IOleInPlaceUIWindow> document;
    RECT pos{}, clip{};
    OLEINPLACEFRAMEINFO info{sizeof info};
    HRESULT hr = inPlace->GetWindowContext(&frame, &document, &pos, &clip, &info);
    HWND siteWindow = nullptr;
    inPlace->GetWindow(&siteWindow);
    CreateWindowIn(parent, rect ? *rect : pos);
    Record(L"page: DoVerb(" + std::to_wstring(verb) + L"), window context " + Hex(hr) + (frame ? L" with frame" : L"") +
           (siteWindow == parent ? L", in the site's window" : L", elsewhere"));
    return S_OK;
}

HRESULT ProbePage::GetUserClassID(CLSID* clsid) noexcept
{
    *clsid = CLSID_ProbePage;
    return S_OK;
}

HRESULT ProbePage::GetMiscStatus(DWORD, DWORD* status) noexcept
{
    *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_RECOMPOSEONRESIZE;
    return S_OK;
}

HRESULT ProbePage::GetWindow(HWND* window) noexcept
{
    *window = m_hwnd;
    return m_hwnd ? S_OK : E_FAIL;
}

HRESULT ProbePage::InPlaceDeactivate() noexcept
{
    Record(L"page: InPlaceDeactivate");
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
    com::ComPtr<IOleInPlaceSite> inPlace;
    if (m_clientSite && SUCCEEDED(m_clientSite.As(&inPlace)))
        inPlace->OnInPlaceDeactivate();
    return S_OK;
}

HRESULT ProbePage::SetObjectRects(LPCRECT pos, LPCRECT) noexcept
{
    if (m_hwnd && pos)
        ::MoveWindow(m_hwnd, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
    return S_OK;
}

void ProbePage::CreateWindowIn(HWND parent, const RECT& rect)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &WndProc;
    wc.hInstance = com::Module::Instance();
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    ::RegisterClassExW(&wc);
    m_hwnd = ::CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top, parent, nullptr, com::Module::Instance(), nullptr);
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    HWND label = ::CreateWindowExW(0, L"STATIC", L"Probe-Seite", WS_CHILD | WS_VISIBLE, 16, 16, 200, 20, m_hwnd,
                                   nullptr, com::Module::Instance(), nullptr);
    HWND button = ::CreateWindowExW(0, L"BUTTON", L"\u00C4ndern", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 16, 48, 100,
                                    26, m_hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kChangeButton)),
                                    com::Module::Instance(), nullptr);
    ::SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ::SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

LRESULT CALLBACK ProbePage::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<ProbePage*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && msg == WM_COMMAND && LOWORD(wParam) == kChangeButton && HIWORD(wParam) == BN_CLICKED) {
        Record(L"page: button clicked");
        self->MarkDirty();
        return 0;
    }
    if (msg == WM_DESTROY && self)
        self->m_hwnd = nullptr;
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}
