#include "TrayIcon.h"

#include <cstring>

#include "AddinSeams.h"

namespace {

// A zeroed record for this icon; fields not set stay 0 or empty.
NOTIFYICONDATAA Record(HWND hWnd, UINT id, UINT flags)
{
    NOTIFYICONDATAA nid;
    std::memset(&nid, 0, sizeof nid);
    nid.cbSize = TrayIcon::RecordSize();
    nid.hWnd = hWnd;
    nid.uID = id;
    nid.uFlags = flags;
    return nid;
}

} // namespace

// The size of the version-1 record in its wide-character form: 152 bytes in
// a 32-bit process. The shell reads only the version-1 fields for it; the
// record passed is a whole NOTIFYICONDATAA, so the shell never reads past it.
DWORD TrayIcon::RecordSize() noexcept { return NOTIFYICONDATAW_V1_SIZE; }

TrayIcon::~TrayIcon()
{
    if (m_bVisible)
        Remove();
}

bool TrayIcon::Add(HWND hWnd, HICON hIcon)
{
    m_hWnd = hWnd;
    m_hIcon = hIcon;
    NOTIFYICONDATAA nid = Record(m_hWnd, m_lId, NIF_MESSAGE | NIF_ICON);
    nid.uCallbackMessage = kCallbackMessage;
    nid.hIcon = hIcon;
    m_bVisible = g_addinSeams.ShellNotifyIconA(NIM_ADD, &nid) != FALSE;
    return m_bVisible;
}

void TrayIcon::ModifyIcon(HICON hIcon)
{
    NOTIFYICONDATAA nid = Record(m_hWnd, m_lId, NIF_ICON);
    nid.hIcon = hIcon;
    m_hIcon = hIcon;
    m_bVisible = g_addinSeams.ShellNotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

void TrayIcon::ModifyTooltip(const std::string& sTooltip)
{
    NOTIFYICONDATAA nid = Record(m_hWnd, m_lId, NIF_TIP);
    // The text and its NUL, cut to the 64-character field.
    const size_t n = sTooltip.size() < kTooltipChars - 1 ? sTooltip.size() : kTooltipChars - 1;
    std::memcpy(nid.szTip, sTooltip.data(), n);
    nid.szTip[n] = '\0';
    m_bVisible = g_addinSeams.ShellNotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

void TrayIcon::Remove()
{
    NOTIFYICONDATAA nid = Record(m_hWnd, m_lId, 0);
    m_bVisible = g_addinSeams.ShellNotifyIconA(NIM_DELETE, &nid) == FALSE;
}
