// The add-in's application context: its directories, title and version,
// and whether it is the first instance on the machine (a named mutex).
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "com/ComRaii.h"

class TheApp {
  public:
    TheApp();
    TheApp(const TheApp&) = delete;
    TheApp& operator=(const TheApp&) = delete;

    const std::string& AppPath() const noexcept { return m_sAppPath; }
    const std::string& BackupPath() const noexcept { return m_sBackupPath; }
    void BackupPath(const std::string& sValue) { m_sBackupPath = sValue; }
    const std::string& DataPath() const noexcept { return m_sDataPath; }
    void DataPath(const std::string& sValue) { m_sDataPath = sValue; }
    bool IsFirstInstance() const noexcept { return m_bFirstInstance; }
    const std::string& ReportPath() const noexcept { return m_sReportPath; }
    void ReportPath(const std::string& sValue) { m_sReportPath = sValue; }
    // Setting the title does not rename or recreate the mutex.
    void Title(const std::string& sValue) { m_sTitle = sValue; }
    const std::string& Title() const noexcept { return m_sTitle; }
    const std::string& Version() const noexcept { return m_sVersion; }

    // The version text of a module: major, a point, minor with two digits,
    // a point, revision with two digits (1.0 revision 33 -> "1.00.33").
    static std::string FormatVersion(unsigned major, unsigned minor, unsigned revision);
    // Appends a backslash unless the directory text already ends in one.
    static std::string WithTrailingBackslash(std::string sPath);

  private:
    std::string m_sAppPath;
    std::string m_sDataPath;
    std::string m_sReportPath;
    std::string m_sBackupPath;
    std::string m_sVersion;
    std::string m_sTitle;
    com::UniqueHandle m_hMutex;
    bool m_bFirstInstance = true;
};

// The one application context of the loaded add-in.
extern std::unique_ptr<TheApp> g_theApp;
