#include "frmTrayIcon.h"

#include "AddinErrors.h"
#include "Reported.h"
#include "Resources.h"
#include "com/ComModule.h"
#include "modSubClass.h"

std::shared_ptr<frmTrayIcon> g_frmTrayIcon;

namespace {

const ui::WindowClass kWindowClass{frmTrayIcon::kClassName, nullptr};

HICON LoadPicture(int id)
{
    return static_cast<HICON>(::LoadImageA(com::Module::Instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
}

} // namespace

frmTrayIcon::frmTrayIcon()
{
    m_imgNoNewMail.reset(LoadPicture(IDI_NONEWMAIL));
    m_imgNewMail.reset(LoadPicture(IDI_NEWMAIL));
}

frmTrayIcon::~frmTrayIcon()
{
    Unload();
    m_TrayIcon.reset(); // before the pictures it shows
}

void frmTrayIcon::Load() noexcept
{
    if (Hwnd())
        return;
    RunReported("frmTrayIcon::Load()", [&] {
        // A top-level window that is never shown.
        if (!CreateFor(kWindowClass, 0, L"corvane", WS_OVERLAPPED, RECT{}, nullptr))
            return;
        // The window keeps the module loaded while it exists.
        com::Module::Lock(true);
        modSubClass::HookWindow(Hwnd());
        m_TrayIcon = std::make_unique<TrayIcon>();
        m_TrayIcon->Add(Hwnd(), m_imgNoNewMail.get());
        m_TrayIcon->ModifyTooltip(L"Keine neuen Nachrichten");
    });
}

void frmTrayIcon::Unload() noexcept
{
    if (!Hwnd())
        return;
    if (m_TrayIcon)
        m_TrayIcon->Remove();
    modSubClass::UnhookWindow(Hwnd());
    ::DestroyWindow(Hwnd());
}

void frmTrayIcon::OnDestroyed() noexcept { com::Module::Lock(false); }

void frmTrayIcon::ShowMailIcon(long mit) noexcept
{
    // Any other value names no picture: nothing happens, nothing is logged.
    if (mit != mitNewMail && mit != mitNoNewMail)
        return;
    if (!m_TrayIcon) {
        ReportFailure("frmTrayIcon::ShowMailIcon()", kObjectNotSet);
        return;
    }
    m_TrayIcon->ModifyIcon(mit == mitNewMail ? m_imgNewMail.get() : m_imgNoNewMail.get());
}

void frmTrayIcon::ShowTooltip(std::wstring_view sTooltip) noexcept
{
    if (!m_TrayIcon) {
        ReportFailure("frmTrayIcon::ShowTooltip()", kObjectNotSet);
        return;
    }
    RunReported("frmTrayIcon::ShowTooltip()", [&] { m_TrayIcon->ModifyTooltip(sTooltip); });
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

void frmTrayIcon::AddMessageHandler(frmTrayIconMessages* handler) { m_handlers.push_back(handler); }

void frmTrayIcon::RemoveMessageHandler(frmTrayIconMessages* handler) noexcept { std::erase(m_handlers, handler); }

bool frmTrayIcon::WmPrivate(UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept
{
    // A handler may remove itself while it runs, so the handlers are
    // offered the message from a copy of the list; without memory for the
    // copy the message goes unhandled this time.
    return RunAnswered("frmTrayIcon::WmPrivate()", false, [&] {
        for (frmTrayIconMessages* handler : std::vector<frmTrayIconMessages*>(m_handlers))
            if (handler->TrayWindowMessage(uMsg, wParam, lParam))
                return true;
        return false;
    });
}
