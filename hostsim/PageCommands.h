// The scenario commands that use an add-in's page in the open Properties
// dialog the way a user does:
//
//   tab Plugins                          switches the page's tab (a click on it)
//   check "Sound abspielen"              checks a check box or a list entry;
//   uncheck "ZarqProbe probe"            unchecks one (a click, only when it changes)
//   select "ZarqProbe probe"             selects a list entry
//   type "C:\Sounds\ding.wav"            replaces the text of the page's text box
//   filedialog answer "C:\ding.wav"      answers the next file-open dialog with a
//   filedialog cancel                    file, or cancels it
//   key tab | shift+tab | space | alt+o  a key for the control that has the focus
//   pluginpath .                         sets the installation's plug-in directory
//   pluginpath none                      (relative to the host) or removes it
//   pagestate                            every control of the page in the trace
//   sheet site=container keys=dialog     how the next Properties dialogs give their
//                                        pages the site and the keys (defaults
//                                        site=client keys=accelerator: SheetRoutes.h)
//
// The plug-in directory that was there before is put back at the end.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "PageCommandSyntax.h"
#include "Scenario.h"

namespace outlooksim {

class OutlookWorld;

class PageCommands {
  public:
    PageCommands(OutlookWorld& world, std::wstring programDir);
    ~PageCommands();
    PageCommands(const PageCommands&) = delete;
    PageCommands& operator=(const PageCommands&) = delete;

    // False if the command is not one of the page's.
    bool Run(const ScenarioCommand& c);
    // The steps a user could not have taken: a control, an entry or the
    // page itself was not there, or not usable.
    unsigned StepsNotTaken() const noexcept { return m_stepsNotTaken; }

  private:
    void Tab(const ScenarioCommand& c);
    void Check(const ScenarioCommand& c);
    void Select(const ScenarioCommand& c);
    void Type(const ScenarioCommand& c);
    void FileDialog(const ScenarioCommand& c);
    void Key(const ScenarioCommand& c);
    void PluginPath(const ScenarioCommand& c);
    void PageState(const ScenarioCommand& c);
    void Sheet(const ScenarioCommand& c);

    // The window of the add-in's page in the open dialog, or null (with a note).
    HWND Page() const;
    void Note(const std::wstring& text) const;
    void NotTaken(const std::wstring& text) const;
    void DescribeWindow(HWND window, int depth) const;
    std::wstring FocusName() const;
    static void CALLBACK AnswerFileDialog(HWND, UINT, UINT_PTR id, DWORD);

    OutlookWorld& m_world;
    std::wstring m_programDir;
    // The next file-open dialog: answered with this file, or cancelled when empty.
    std::optional<std::wstring> m_fileAnswer;
    UINT_PTR m_timer = 0;
    mutable unsigned m_stepsNotTaken = 0;
    // The plug-in directory before the first pluginpath command.
    bool m_pathChanged = false;
    std::optional<std::wstring> m_savedPath;
    static PageCommands* s_answering;
};

} // namespace outlooksim
