#include "TrayIcon.h"

#include <cstring>

#include "AddinSeams.h"

namespace {

// A zeroed record for this icon; fields not set stay 0 or empty.
NOTIFYICONDATAW Record(HWND hWnd, UINT id, UINT flags)
{
    NOTIFYICONDATAW nid;
    std::memset(&nid, 0, sizeof nid);
    nid.cbSize = TrayIcon::RecordSize();
    nid.hWnd = hWnd;
    nid.uID = id;
    nid.uFlags = flags;
    return nid;
}

// How many UTF-16 units of the text the tooltip field takes.
size_t TooltipLength(std::wstring_view sTooltip) noexcept
{
    // The text and its NUL fit the version-1 field of 64 characters.
    if (sTooltip.size() < TrayIcon::kTooltipChars)
        return sTooltip.size();
    size_t n = TrayIcon::kTooltipChars - 1;
    // A character outside the basic plane is a pair of UTF-16 units: it is
    // kept whole or left out, never cut in two.
    if (IS_HIGH_SURROGATE(sTooltip[n - 1]) && IS_LOW_SURROGATE(sTooltip[n]))
        --n;
    return n;
}

} // namespace

// The size of the version-1 record: 152 bytes in a 32-bit process. Every
// shell from Windows 2000 on accepts it, and reads only the version-1 fields
// for it (Microsoft's documentation of NOTIFYICONDATA, member cbSize); the
// record passed is a whole NOTIFYICONDATAW, so the shell never reads past it.
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
    NOTIFYICONDATAW nid = Record(m_hWnd, m_lId, NIF_MESSAGE | NIF_ICON);
    nid.uCallbackMessage = kCallbackMessage;
    nid.hIcon = hIcon;
    m_bVisible = g_addinSeams.ShellNotifyIconW(NIM_ADD, &nid) != FALSE;
    return m_bVisible;
}

void TrayIcon::ModifyIcon(HICON hIcon)
{
    NOTIFYICONDATAW nid = Record(m_hWnd, m_lId, NIF_ICON);
    nid.hIcon = hIcon;
    m_hIcon = hIcon;
    m_bVisible = g_addinSeams.ShellNotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

void TrayIcon::ModifyTooltip(std::wstring_view sTooltip)
{
    NOTIFYICONDATAW nid = Record(m_hWnd, m_lId, NIF_TIP);
    const size_t n = TooltipLength(sTooltip);
    sTooltip.copy(nid.szTip, n);
    nid.szTip[n] = L'\0';
    m_bVisible = g_addinSeams.ShellNotifyIconW(NIM_MODIFY, &nid) != FALSE;
}

void TrayIcon::Remove()
{
    NOTIFYICONDATAW nid = Record(m_hWnd, m_lId, 0);
    m_bVisible = g_addinSeams.ShellNotifyIconW(NIM_DELETE, &nid) == FALSE;
}
