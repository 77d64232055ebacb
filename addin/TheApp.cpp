#include "TheApp.h"

#include <cstdio>

#include "com/ComModule.h"
#include "com/ComRaii.h"
#include "g_modNewFunc.h"

std::unique_ptr<TheApp> g_theApp;

namespace {

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
    // Module::Directory() already ends in a backslash; keep exactly one.
    m_sAppPath = WithTrailingBackslash(com::Narrow(com::Module::Directory()));
    m_sDataPath = m_sAppPath + "Daten" + "\\";
    m_sReportPath = m_sAppPath + "Report" + "\\";
    const ModuleVersionNumbers version = ModuleVersion();
    m_sVersion = FormatVersion(version.major, version.minor, version.revision);
    m_sTitle = kTitle;

    SECURITY_ATTRIBUTES sa{};
    sa.nLength = 0;
    sa.lpSecurityDescriptor = nullptr;
    sa.bInheritHandle = FALSE;
    m_hMutex.reset(::CreateMutexA(&sa, FALSE, m_sTitle.c_str()));
    if (m_hMutex)
        m_bFirstInstance = ::GetLastError() != ERROR_ALREADY_EXISTS;
}
