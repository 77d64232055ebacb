// The OLE control base: what every ActiveX control owes its container,
// written once. A control class lists its own interfaces and implements
// only its behaviour:
//
//   class Page : public com::OleControl<Page, _Page, PropertyPage> {
//     public:
//       static const CLSID& ClassId() noexcept;        // its coclass
//       static const IID& EventId() noexcept;          // its source dispinterface
//       static constexpr DWORD kMiscStatus = ...;      // OLEMISC_*
//       static constexpr SIZE kDesignTwips = {w, h};   // its design size
//       HWND CreateControlWindow(HWND parent, const RECT& pos); // its window
//       void OnInitProperties();                      // a new instance is initialized
//   };
//
// A control may also define, to hide the base's empty ones:
//   void OnClientSiteChanged();   // after SetClientSite (also to null) and Close
//   void RevealControl(HWND);     // a mnemonic's control lies on a hidden tab page
//
// The base handles the client site (and the container behind it), in-place
// activation in the site's window, the active object that the frame asks
// for keys, mnemonics, drawing when the control has no window (WM_PRINT of
// its window, or the face colour), persistence of a control without stored
// properties (streams, storages and property bags, whichever the container
// uses), class information and the connection point of its events.
// The derived class must call DestroyControlWindow() in its destructor:
// its window procedure uses the derived object. Its hooks run inside the
// guard of the method that calls them: what a hook throws becomes that
// method's HRESULT, never an exception through the container.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

#include "com/ComObject.h"
#include "com/ConnectionPoint.h"
#include "support/Guarded.h"
#include "ui/Handles.h"

namespace com {

// The parts that do not depend on the control class.
namespace olecontrol {

// An ambient property of the container; false if it has none.
bool Ambient(IOleClientSite* site, DISPID id, Variant* value) noexcept;
// Draws the window with its children into bounds of hdc, or the face colour
// when there is no window.
void Draw(HWND window, HDC hdc, const RECT& bounds) noexcept;
// A panel that holds the controls of one tab: while another tab is shown
// it is hidden, but its controls' mnemonics still belong to the control.
// The mark must be taken off before the panel is destroyed.
void MarkTabPage(HWND panel) noexcept;
void UnmarkTabPage(HWND panel) noexcept;
bool IsTabPage(HWND window) noexcept;
// An accelerator table with Alt+letter for every "&letter" in the captions
// of the window's descendants, those on hidden tab pages included; null if
// there is none. *count gets the number of entries.
HACCEL MnemonicTable(HWND root, USHORT* count) noexcept;
// Shows the tab page that holds a control (the control's own choice).
using RevealFunction = void (*)(void* control, HWND window);
// Carries out the mnemonic of a key message (WM_SYSCHAR, WM_SYSKEYDOWN or
// WM_CHAR with Alt) inside root: the control whose caption has the letter
// gets the focus and buttons are clicked; a label hands the focus to the
// next control. A control on a hidden tab page has its page shown first
// (reveal); if it is disabled then, the key is still taken. False if no
// control inside root has the letter.
bool RunMnemonic(HWND root, const MSG& msg, RevealFunction reveal = nullptr, void* control = nullptr) noexcept;
// Tab or Shift+Tab inside root: the focus moves to the next tab stop, unless
// that would wrap around root; then false, so that the container moves it on.
bool MoveFocusWithin(HWND root, bool backwards) noexcept;
// True if window is root or one of its descendants.
bool IsWithin(HWND root, HWND window) noexcept;
// Calls focused(control) whenever the keyboard focus is about to move
// into root (or one of its descendants) from a window outside it, until
// UnwatchFocus(root). For the control's own thread only.
using FocusFunction = void (*)(void* control);
void WatchFocus(HWND root, FocusFunction focused, void* control) noexcept;
void UnwatchFocus(HWND root) noexcept;
// HIMETRIC from twips and back.
constexpr long TwipsToHimetric(long twips) noexcept { return twips * 2540 / 1440; }

} // namespace olecontrol

template <class Derived, class... Interfaces>
class OleControl : public ComObject<Derived, Interfaces..., IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject,
                                    IOleControl, IPersistStreamInit, IPersistStorage, IPersistPropertyBag, IViewObject2,
                                    IProvideClassInfo2, ConnectionPointContainer, ISupportErrorInfo> {
  public:
    HRESULT QueryInterfaceExtra(REFIID riid, void** ppv) noexcept
    {
        if (riid == IID_IOleWindow)
            *ppv = static_cast<IOleInPlaceObject*>(this);
        else if (riid == IID_IViewObject)
            *ppv = static_cast<IViewObject2*>(this);
        else if (riid == IID_IPersist)
            *ppv = static_cast<IPersistStreamInit*>(this);
        else if (riid == IID_IProvideClassInfo)
            *ppv = static_cast<IProvideClassInfo2*>(this);
        else
            return E_NOINTERFACE;
        static_cast<IOleObject*>(this)->AddRef();
        return S_OK;
    }

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) noexcept override
    {
        m_clientSite = site;
        if (site)
            m_closed = false;
        return RunHook([&] { static_cast<Derived*>(this)->OnClientSiteChanged(); });
    }
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) noexcept override
    {
        if (!site)
            return E_POINTER;
        *site = m_clientSite.Get();
        if (*site)
            (*site)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) noexcept override
    {
        InPlaceDeactivate();
        if (m_oleAdvise)
            m_oleAdvise->SendOnClose();
        // A closed control lets go of what it took from its site; the site
        // itself goes with SetClientSite(NULL).
        m_closed = true;
        return RunHook([&] { static_cast<Derived*>(this)->OnClientSiteChanged(); });
    }
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) noexcept override
    {
        if (out)
            *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject** out) noexcept override
    {
        if (out)
            *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                     LPCRECT pos) noexcept override
    {
        switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
        case OLEIVERB_UIACTIVATE:
            return ActivateInPlace(site ? site : m_clientSite.Get(), parent, pos, verb == OLEIVERB_UIACTIVATE);
        case OLEIVERB_HIDE:
            if (m_hwnd)
                ::ShowWindow(m_hwnd, SW_HIDE);
            return S_OK;
        default:
            return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
        }
    }
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB** out) noexcept override
    {
        return ::OleRegEnumVerbs(Derived::ClassId(), out);
    }
    HRESULT STDMETHODCALLTYPE Update() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) noexcept override { return GetClassID(clsid); }
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD form, LPOLESTR* type) noexcept override
    {
        return ::OleRegGetUserType(Derived::ClassId(), form, type);
    }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) noexcept override
    {
        if (aspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        if (!size)
            return E_POINTER;
        m_extent = *size;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) noexcept override
    {
        if (aspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        if (!size)
            return E_POINTER;
        *size = m_extent;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink* sink, DWORD* cookie) noexcept override
    {
        if (!m_oleAdvise && FAILED(::CreateOleAdviseHolder(&m_oleAdvise)))
            return E_OUTOFMEMORY;
        return m_oleAdvise->Advise(sink, cookie);
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) noexcept override
    {
        return m_oleAdvise ? m_oleAdvise->Unadvise(cookie) : OLE_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA** out) noexcept override
    {
        if (out)
            *out = nullptr;
        return m_oleAdvise ? m_oleAdvise->EnumAdvise(out) : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) noexcept override
    {
        if (!status)
            return E_POINTER;
        *status = Derived::kMiscStatus;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) noexcept override { return E_NOTIMPL; }

    // IOleWindow (of IOleInPlaceObject and IOleInPlaceActiveObject)
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) noexcept override
    {
        if (!window)
            return E_POINTER;
        *window = m_hwnd;
        return m_hwnd ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }

    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() noexcept override
    {
        if (!m_inPlaceSite)
            return S_OK;
        UIDeactivate();
        DestroyControlWindow();
        com::ComPtr<IOleInPlaceSite> site = std::move(m_inPlaceSite);
        site->OnInPlaceDeactivate();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UIDeactivate() noexcept override
    {
        if (!m_uiActive)
            return S_OK;
        m_uiActive = false;
        if (m_frame)
            m_frame->SetActiveObject(nullptr, nullptr);
        if (m_document)
            m_document->SetActiveObject(nullptr, nullptr);
        m_frame.Reset();
        m_document.Reset();
        if (m_inPlaceSite)
            m_inPlaceSite->OnUIDeactivate(FALSE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT pos, LPCRECT) noexcept override
    {
        if (!pos)
            return E_POINTER;
        if (m_hwnd)
            ::MoveWindow(m_hwnd, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() noexcept override { return E_NOTIMPL; }

    // IOleInPlaceActiveObject: the frame offers each key message here first.
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG msg) noexcept override
    {
        if (!msg || !m_hwnd || !olecontrol::IsWithin(m_hwnd, msg->hwnd))
            return S_FALSE;
        const bool alt = (::GetKeyState(VK_MENU) & 0x8000) != 0;
        const bool ctrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB && !alt && !ctrl)
            return olecontrol::MoveFocusWithin(m_hwnd, (::GetKeyState(VK_SHIFT) & 0x8000) != 0) ? S_OK : S_FALSE;
        if (msg->message == WM_SYSCHAR)
            return olecontrol::RunMnemonic(m_hwnd, *msg, &Reveal, this) ? S_OK : S_FALSE;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE OnFrameWindowActivate(BOOL) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDocWindowActivate(BOOL) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) noexcept override { return S_OK; }

    // IOleControl: the container's mnemonics come from the captions.
    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO* info) noexcept override
    {
        if (!info)
            return E_POINTER;
        USHORT count = 0;
        m_accelerators.reset(olecontrol::MnemonicTable(m_hwnd, &count));
        info->cb = sizeof *info;
        info->hAccel = m_accelerators.get();
        info->cAccel = count;
        info->dwFlags = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG* msg) noexcept override
    {
        if (!msg || !m_hwnd)
            return E_INVALIDARG;
        return olecontrol::RunMnemonic(m_hwnd, *msg, &Reveal, this) ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL) noexcept override { return S_OK; }

    // IPersistStreamInit, IPersistStorage, IPersistPropertyBag: the control
    // keeps no properties of its own in a stream, a storage or a property
    // bag; a new or loaded instance is initialized once, whatever the store
    // holds, and saving writes nothing. Containers initialize a control
    // through any one of the three (Microsoft documentation, "ActiveX
    // Controls: persistence" / IPersistPropertyBag: a container that saves
    // controls as text uses the property bag).
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) noexcept override
    {
        if (!clsid)
            return E_POINTER;
        *clsid = Derived::ClassId();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE IsDirty() noexcept override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE Load(IStream*) noexcept override { return InitOnce(); }
    HRESULT STDMETHODCALLTYPE Save(IStream*, BOOL) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) noexcept override
    {
        if (!size)
            return E_POINTER;
        size->QuadPart = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InitNew() noexcept override { return InitOnce(); }
    // IPersistStorage
    HRESULT STDMETHODCALLTYPE InitNew(IStorage* storage) noexcept override { return storage ? InitOnce() : E_POINTER; }
    HRESULT STDMETHODCALLTYPE Load(IStorage* storage) noexcept override { return storage ? InitOnce() : E_POINTER; }
    HRESULT STDMETHODCALLTYPE Save(IStorage* storage, BOOL) noexcept override { return storage ? S_OK : E_POINTER; }
    HRESULT STDMETHODCALLTYPE SaveCompleted(IStorage*) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE HandsOffStorage() noexcept override { return S_OK; }
    // IPersistPropertyBag (its InitNew is the one above)
    HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog*) noexcept override
    {
        return bag ? InitOnce() : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL, BOOL) noexcept override { return bag ? S_OK : E_POINTER; }

    // IViewObject2: drawing for a container that has not activated the control.
    HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC hdc, LPCRECTL bounds, LPCRECTL,
                                   BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) noexcept override
    {
        if (aspect != DVASPECT_CONTENT)
            return DV_E_DVASPECT;
        if (!hdc || !bounds)
            return E_INVALIDARG;
        olecontrol::Draw(m_hwnd, hdc, RECT{bounds->left, bounds->top, bounds->right, bounds->bottom});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** set) noexcept override
    {
        if (set)
            *set = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) noexcept override
    {
        m_viewSink = sink;
        m_viewAspects = aspects;
        m_viewFlags = flags;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) noexcept override
    {
        if (aspects)
            *aspects = m_viewAspects;
        if (flags)
            *flags = m_viewFlags;
        if (sink) {
            *sink = m_viewSink.Get();
            if (*sink)
                (*sink)->AddRef();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) noexcept override
    {
        return GetExtent(aspect, size);
    }

    // IProvideClassInfo2
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) noexcept override
    {
        return Module::TypeInfo(Derived::ClassId(), info);
    }
    HRESULT STDMETHODCALLTYPE GetGUID(DWORD kind, GUID* guid) noexcept override
    {
        if (!guid)
            return E_POINTER;
        if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID)
            return E_INVALIDARG;
        *guid = Derived::EventId();
        return S_OK;
    }

  protected:
    OleControl()
    {
        this->AddConnectionPoint(Derived::EventId());
        m_extent = {olecontrol::TwipsToHimetric(Derived::kDesignTwips.cx),
                    olecontrol::TwipsToHimetric(Derived::kDesignTwips.cy)};
    }
    ~OleControl() override = default;

    HWND ControlWindow() const noexcept { return m_hwnd; }
    IOleClientSite* ClientSite() const noexcept { return m_clientSite.Get(); }
    // Close has been called, and no new site or activation has come since.
    bool Closed() const noexcept { return m_closed; }

    // The base's hooks do nothing; a control hides them with its own.
    void OnClientSiteChanged() noexcept {}
    void RevealControl(HWND) noexcept {}

    // An interface of the control's site: asked of the client site first,
    // then of the container behind it. Containers differ in where they
    // offer their extra site interfaces: ATL's and VB's controls ask the
    // client site (Microsoft documentation: IOleObject::SetClientSite hands
    // the control the site through which it reaches its container's
    // services), others answer on the container.
    template <class I>
    ComPtr<I> SiteAs(REFIID iid) const noexcept
    {
        ComPtr<I> result;
        if (m_clientSite &&
            SUCCEEDED(m_clientSite->QueryInterface(iid, reinterpret_cast<void**>(result.GetAddressOf()))) && result)
            return result;
        result.Reset();
        return ContainerAs<I>(iid);
    }

    // The container behind the client site, as the interface asked for.
    template <class I>
    ComPtr<I> ContainerAs(REFIID iid) const noexcept
    {
        ComPtr<IOleContainer> container;
        ComPtr<I> result;
        if (m_clientSite && SUCCEEDED(m_clientSite->GetContainer(&container)) && container)
            container->QueryInterface(iid, reinterpret_cast<void**>(result.GetAddressOf()));
        return result;
    }

    // Tells the container that the picture changed (for a control drawn
    // while not active).
    void ViewChanged() noexcept
    {
        if (m_viewSink)
            m_viewSink->OnViewChange(DVASPECT_CONTENT, -1);
    }

    // The control's window procedure calls this on WM_NCDESTROY: the window
    // may also go with its parent.
    void ControlWindowGone() noexcept
    {
        olecontrol::UnwatchFocus(m_hwnd);
        m_hwnd = nullptr;
    }

    void DestroyControlWindow() noexcept
    {
        olecontrol::UnwatchFocus(m_hwnd);
        if (m_hwnd)
            ::DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }

  private:
    // A key of the container's message loop: a failing hook leaves the tab as it is.
    static void Reveal(void* self, HWND window) noexcept
    {
        RunSkipped([&] { static_cast<Derived*>(static_cast<OleControl*>(self))->RevealControl(window); });
    }

    // Runs a hook of the derived class in the calling method's guard.
    template <class Hook>
    HRESULT RunHook(Hook&& hook) noexcept
    {
        return this->Guard([&] {
            hook();
            return S_OK;
        });
    }

    // The focus comes into the control from outside: a click or a key of
    // the container. The control makes itself the active object again, so
    // that the frame offers it the keys (ATL's controls do the same when
    // they get the focus; Microsoft documentation, IOleInPlaceSite::
    // OnUIActivate: the container UI-deactivates the object active before).
    static void FocusArrives(void* self) noexcept { static_cast<OleControl*>(self)->UIActivate(); }

    void UIActivate() noexcept
    {
        if (m_uiActive || !m_inPlaceSite)
            return;
        ComPtr<IOleInPlaceFrame> frame;
        ComPtr<IOleInPlaceUIWindow> document;
        RECT where{}, clip{};
        OLEINPLACEFRAMEINFO info{sizeof info};
        if (FAILED(m_inPlaceSite->GetWindowContext(&frame, &document, &where, &clip, &info)))
            return;
        BecomeUIActive(frame, document);
    }

    void BecomeUIActive(const ComPtr<IOleInPlaceFrame>& frame, const ComPtr<IOleInPlaceUIWindow>& document) noexcept
    {
        m_uiActive = true;
        m_inPlaceSite->OnUIActivate();
        m_frame = frame;
        m_document = document;
        if (m_frame)
            m_frame->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
        if (m_document)
            m_document->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
    }

    HRESULT InitOnce() noexcept
    {
        if (m_initialized)
            return S_OK;
        m_initialized = true;
        return RunHook([&] { static_cast<Derived*>(this)->OnInitProperties(); });
    }

    // In-place activation in the window of the site.
    HRESULT ActivateInPlace(IOleClientSite* clientSite, HWND parent, LPCRECT pos, bool uiActivate) noexcept
    {
        if (!clientSite)
            return E_INVALIDARG;
        if (!m_clientSite || m_closed) {
            if (!m_clientSite)
                m_clientSite = clientSite;
            m_closed = false;
            if (HRESULT hr = RunHook([&] { static_cast<Derived*>(this)->OnClientSiteChanged(); }); FAILED(hr))
                return hr;
        }
        if (HRESULT hr = InitOnce(); FAILED(hr))
            return hr;
        if (!m_inPlaceSite) {
            ComPtr<IOleInPlaceSite> site;
            if (FAILED(clientSite->QueryInterface(IID_PPV_ARGS(&site))) || site->CanInPlaceActivate() != S_OK)
                return E_FAIL;
            site->OnInPlaceActivate();
            m_inPlaceSite = site;
        }
        ComPtr<IOleInPlaceFrame> frame;
        ComPtr<IOleInPlaceUIWindow> document;
        RECT where{}, clip{};
        OLEINPLACEFRAMEINFO info{sizeof info};
        if (FAILED(m_inPlaceSite->GetWindowContext(&frame, &document, &where, &clip, &info)) && pos)
            where = *pos;
        HWND siteWindow = nullptr;
        if (FAILED(m_inPlaceSite->GetWindow(&siteWindow)) || !siteWindow)
            siteWindow = parent;
        if (!m_hwnd) {
            HRESULT hr = RunHook([&] { m_hwnd = static_cast<Derived*>(this)->CreateControlWindow(siteWindow, where); });
            if (FAILED(hr))
                return hr;
            if (!m_hwnd)
                return E_FAIL;
            olecontrol::WatchFocus(m_hwnd, &FocusArrives, static_cast<OleControl*>(this));
        } else if (::GetParent(m_hwnd) != siteWindow) {
            ::SetParent(m_hwnd, siteWindow);
        }
        SetObjectRects(&where, &clip);
        ::ShowWindow(m_hwnd, SW_SHOWNA);
        // The frame offers its key messages to the active object, so the
        // control is made active at once: its keys and mnemonics work from
        // the first message on.
        if (!m_uiActive && (uiActivate || frame))
            BecomeUIActive(frame, document);
        return S_OK;
    }

    ComPtr<IOleClientSite> m_clientSite;
    ComPtr<IOleInPlaceSite> m_inPlaceSite;
    ComPtr<IOleInPlaceFrame> m_frame;
    ComPtr<IOleInPlaceUIWindow> m_document;
    ComPtr<IOleAdviseHolder> m_oleAdvise;
    ComPtr<IAdviseSink> m_viewSink;
    DWORD m_viewAspects = 0;
    DWORD m_viewFlags = 0;
    HWND m_hwnd = nullptr;
    ui::UniqueHAccel m_accelerators; // the table GetControlInfo last handed out
    SIZEL m_extent{};
    bool m_uiActive = false;
    bool m_initialized = false;
    bool m_closed = false;
};

} // namespace com
