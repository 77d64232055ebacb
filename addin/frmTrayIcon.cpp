#include "frmTrayIcon.h"

#include "AddinErrors.h"
#include "Resources.h"
#include "com/ComModule.h"
#include "g_modDebug.h"
#include "modSubClass.h"

std::shared_ptr<frmTrayIcon> g_frmTrayIcon;

namespace {

bool EnsureClass()
{
    HINSTANCE instance = com::Module::Instance();
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (::GetClassInfoExA(instance, frmTrayIcon::kClassName, &wc))
        return true;
    wc.lpfnWndProc = &::DefWindowProcA;
    wc.hInstance = instance;
    wc.lpszClassName = frmTrayIcon::kClassName;
    return ::RegisterClassExA(&wc) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HICON LoadPicture(int id)
{
    return static_cast<HICON>(::LoadImageA(com::Module::Instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
}

} // namespace

frmTrayIcon::frmTrayIcon()
{
    m_imgNoNewMail = LoadPicture(IDI_NONEWMAIL);
    m_imgNewMail = LoadPicture(IDI_NEWMAIL);
}

frmTrayIcon::~frmTrayIcon()
{
    Unload();
    m_TrayIcon.reset(); // before the pictures it shows
    if (m_imgNoNewMail)
        ::DestroyIcon(m_imgNoNewMail);
    if (m_imgNewMail)
        ::DestroyIcon(m_imgNewMail);
}

void frmTrayIcon::Load() noexcept
{
    if (m_hWnd)
        return;
    RunReported("frmTrayIcon::Load()", [&] {
        // A top-level window that is never shown.
        if (EnsureClass())
            m_hWnd = ::CreateWindowExA(0, kClassName, "corvane", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                                       com::Module::Instance(), nullptr);
        if (!m_hWnd)
            return;
        // The window keeps the module loaded while it exists.
        com::Module::Lock(true);
        modSubClass::HookWindow(m_hWnd);
        m_TrayIcon = std::make_unique<TrayIcon>();
        m_TrayIcon->Add(m_hWnd, m_imgNoNewMail);
        m_TrayIcon->ModifyTooltip("Keine neuen Nachrichten");
    });
}

void frmTrayIcon::Unload() noexcept
{
    if (!m_hWnd)
        return;
    if (m_TrayIcon)
        m_TrayIcon->Remove();
    modSubClass::UnhookWindow(m_hWnd);
    ::DestroyWindow(m_hWnd);
    m_hWnd = nullptr;
    com::Module::Lock(false);
}

void frmTrayIcon::ShowMailIcon(long mit) noexcept
{
    if (!m_TrayIcon) {
        ReportError("frmTrayIcon::ShowMailIcon()", "Object variable or With block variable not set", 91, true);
        return;
    }
    if (mit == mitNewMail)
        m_TrayIcon->ModifyIcon(m_imgNewMail);
    else if (mit == mitNoNewMail)
        m_TrayIcon->ModifyIcon(m_imgNoNewMail);
}

void frmTrayIcon::ShowTooltip(const std::string& sTooltip) noexcept
{
    if (!m_TrayIcon) {
        ReportError("frmTrayIcon::ShowTooltip()", "Object variable or With block variable not set", 91, true);
        return;
    }
    try {
        m_TrayIcon->ModifyTooltip(sTooltip);
    } catch (...) {
        ReportError("frmTrayIcon::ShowTooltip()", "Out of memory", 7, true);
    }
}

void frmTrayIcon::WmLButtonDblClk() noexcept
{
    if (m_listener)
        m_listener->TrayIconLeftDblClick();
}

void frmTrayIcon::WmLButtonDown() noexcept
{
    if (m_listener)
        m_listener->TrayIconLeftDown();
}

void frmTrayIcon::WmRButtonDblClk() noexcept
{
    if (m_listener)
        m_listener->TrayIconRightDblClick();
}

void frmTrayIcon::WmRButtonDown() noexcept
{
    if (m_listener)
        m_listener->TrayIconRightDown();
}
