#include "TheApp.h"

#include <cstdio>
#include <vector>

#include "com/ComModule.h"
#include "com/ComRaii.h"

std::unique_ptr<TheApp> g_theApp;

namespace {

// The module's file version: major, minor and the fourth part (revision).
void ModuleVersion(unsigned& major, unsigned& minor, unsigned& revision)
{
    major = minor = revision = 0;
    const std::wstring path = com::Module::Path();
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    if (size == 0)
        return;
    std::vector<BYTE> block(size);
    if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data()))
        return;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &len) || !info)
        return;
    major = HIWORD(info->dwFileVersionMS);
    minor = LOWORD(info->dwFileVersionMS);
    revision = LOWORD(info->dwFileVersionLS);
}

// The deliverable's title: its name.
const char kTitle[] = "corvane";

} // namespace

std::string TheApp::FormatVersion(unsigned major, unsigned minor, unsigned revision)
{
    char text[48];
    std::snprintf(text, sizeof text, "%u.%02u.%02u", major, minor, revision);
    return text;
}

std::string TheApp::WithTrailingBackslash(std::string sPath)
{
    if (sPath.empty() || sPath.back() != '\\')
        sPath += '\\';
    return sPath;
}

TheApp::TheApp()
{
    m_bFirstInstance = true;
    m_hMutex = nullptr;
    // Module::Directory() already ends in a backslash; keep exactly one.
    m_sAppPath = WithTrailingBackslash(com::Narrow(com::Module::Directory()));
    m_sDataPath = m_sAppPath + "Daten" + "\\";
    m_sReportPath = m_sAppPath + "Report" + "\\";
    unsigned major = 0, minor = 0, revision = 0;
    ModuleVersion(major, minor, revision);
    m_sVersion = FormatVersion(major, minor, revision);
    m_sTitle = kTitle;

    SECURITY_ATTRIBUTES sa{};
    sa.nLength = 0;
    sa.lpSecurityDescriptor = nullptr;
    sa.bInheritHandle = FALSE;
    m_hMutex = ::CreateMutexA(&sa, FALSE, m_sTitle.c_str());
    if (m_hMutex)
        m_bFirstInstance = ::GetLastError() != ERROR_ALREADY_EXISTS;
}

TheApp::~TheApp()
{
    if (m_hMutex)
        ::CloseHandle(m_hMutex);
}
