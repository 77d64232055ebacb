// Runs a parsed scenario against a world: each command is traced as
// "host: [line] command", carried out, and the user-interface thread's
// messages are processed before the next one. Problems at run time (a
// folder that is not there, a disabled button) are traced; they never stop
// the run.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Scenario.h"

namespace outlooksim {

class AddinHost;
class OutlookWorld;
class PageCommands;

class ScenarioRunner {
  public:
    struct Options {
        std::wstring outDir = L"."; // where screenshots go
        std::wstring programDir;    // where relative log file names are looked for
    };

    ScenarioRunner(OutlookWorld& world, Options options);
    ~ScenarioRunner();
    ScenarioRunner(const ScenarioRunner&) = delete;
    ScenarioRunner& operator=(const ScenarioRunner&) = delete;

    void Run(const Scenario& scenario);
    void Run(const ScenarioCommand& command);
    AddinHost* Addin() const noexcept { return m_addin.get(); }

    // The add-in's configuration file as the "watch" lines wrote it, and as
    // the add-in left it when it was released (before the file that was
    // there is put back); left is empty when no file was there.
    struct ConfigurationFile {
        std::wstring path;
        std::string written;
        std::optional<std::string> left;
    };
    const ConfigurationFile& Configuration() const noexcept { return m_configuration; }
    // The page's steps that could not be taken (PageCommands::StepsNotTaken).
    unsigned StepsNotTaken() const noexcept;

    // The message that clicks of the notification-area icon send to its window.
    static constexpr UINT kTrayMessage = WM_USER + 1;
    static constexpr const wchar_t* kTrayWindowClass = L"corvane.frmTrayIcon";

  private:
    using Handler = void (ScenarioRunner::*)(const ScenarioCommand&);
    static const std::map<std::wstring, Handler>& Handlers();

    void Folder(const ScenarioCommand& c);
    void Watch(const ScenarioCommand& c);
    void Connect(const ScenarioCommand& c);
    void Disconnect(const ScenarioCommand& c);
    void Release(const ScenarioCommand& c);
    void Quit(const ScenarioCommand& c);
    void Deliver(const ScenarioCommand& c);
    void Properties(const ScenarioCommand& c);
    void Page(const ScenarioCommand& c);
    void Click(const ScenarioCommand& c);
    void Button(const ScenarioCommand& c);
    void Tray(const ScenarioCommand& c);
    void Explorer(const ScenarioCommand& c);
    void Delete(const ScenarioCommand& c);
    void Wait(const ScenarioCommand& c);
    void Screenshot(const ScenarioCommand& c);
    void Log(const ScenarioCommand& c);
    void Window(const ScenarioCommand& c);
    void Latency(const ScenarioCommand& c);
    void StoreState(const ScenarioCommand& c);
    void Timing(const ScenarioCommand& c);
    void Timers(const ScenarioCommand& c);

    // The folders of "watch" lines, written into the add-in's configuration
    // file beside its library when it is connected; the file that was there
    // before is put back when the add-in is released.
    struct WatchedFolder {
        std::wstring entryId, storeId, name, alerts, soundFile, plugins;
    };
    void WriteConfiguration(const std::wstring& progId);
    void RestoreConfiguration() noexcept;
    std::vector<WatchedFolder> m_watched;
    std::wstring m_configPath;
    std::string m_savedConfig;
    bool m_hadConfig = false;
    ConfigurationFile m_configuration;

    void Note(const std::wstring& text) const;
    bool PropertiesOpen() const;

    OutlookWorld& m_world;
    Options m_options;
    std::unique_ptr<AddinHost> m_addin;
    std::unique_ptr<PageCommands> m_pageCommands; // the commands for an add-in's page
};

} // namespace outlooksim
