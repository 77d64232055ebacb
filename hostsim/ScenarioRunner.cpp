#include "ScenarioRunner.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "AddinHost.h"
#include "Folder.h"
#include "FolderPropertiesDialog.h"
#include "MessagePump.h"
#include "OutlookWorld.h"
#include "PageCommands.h"
#include "Screenshot.h"
#include "SystemCallTracer.h"
#include "WindowCommands.h"
#include "com/ComRaii.h"
#include "config/NotifyFoldersFile.h"

namespace outlooksim {

namespace {

struct WindowSearch {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindOwnWindow(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    wchar_t className[64] = {};
    ::GetClassNameW(hwnd, className, 64);
    if (pid == ::GetCurrentProcessId() && std::wstring_view(className) == search->className) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

bool IsRelative(const std::wstring& path)
{
    return path.size() < 2 || (path[1] != L':' && path[0] != L'\\' && path[0] != L'/');
}

std::wstring Join(const std::wstring& dir, const std::wstring& name)
{
    if (dir.empty())
        return name;
    return dir + (dir.back() == L'\\' || dir.back() == L'/' ? L"" : L"\\") + name;
}

// The text of a file: UTF-16 or UTF-8 after its byte order mark, else in
// the system's code page.
std::wstring DecodedText(const std::string& bytes)
{
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
        std::wstring text;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1])
                                                                                    << 8);
        return text;
    }
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) {
        const int n =
            ::MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, static_cast<int>(bytes.size() - 3), nullptr, 0);
        std::wstring text(static_cast<size_t>(std::max(n, 0)), L'\0');
        ::MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, static_cast<int>(bytes.size() - 3), text.data(), n);
        return text;
    }
    return com::Widen(bytes);
}

// The last lines of a text file; nullopt if it cannot be read.
std::optional<std::vector<std::wstring>> TailLines(const std::wstring& path, size_t count)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    if (!file)
        return std::nullopt;
    const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::wstring text = DecodedText(bytes);
    std::vector<std::wstring> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find(L'\n', at), text.size());
        std::wstring line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        lines.push_back(std::move(line));
        if (lines.size() > count)
            lines.erase(lines.begin());
    }
    return lines;
}

std::optional<std::string> FileBytes(const std::wstring& path)
{
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    if (!file)
        return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

} // namespace

ScenarioRunner::ScenarioRunner(OutlookWorld& world, Options options)
    : m_world(world), m_options(std::move(options)),
      m_pageCommands(std::make_unique<PageCommands>(world, m_options.programDir))
{
}

ScenarioRunner::~ScenarioRunner()
{
    if (m_addin)
        m_addin->Release();
    RestoreConfiguration();
}

const std::map<std::wstring, ScenarioRunner::Handler>& ScenarioRunner::Handlers()
{
    static const std::map<std::wstring, Handler> handlers = {
        {L"folder", &ScenarioRunner::Folder},     {L"watch", &ScenarioRunner::Watch},
        {L"connect", &ScenarioRunner::Connect},   {L"disconnect", &ScenarioRunner::Disconnect},
        {L"release", &ScenarioRunner::Release},   {L"quit", &ScenarioRunner::Quit},
        {L"deliver", &ScenarioRunner::Deliver},   {L"properties", &ScenarioRunner::Properties},
        {L"page", &ScenarioRunner::Page},         {L"click", &ScenarioRunner::Click},
        {L"apply", &ScenarioRunner::Button},      {L"ok", &ScenarioRunner::Button},
        {L"cancel", &ScenarioRunner::Button},     {L"tray", &ScenarioRunner::Tray},
        {L"explorer", &ScenarioRunner::Explorer}, {L"delete", &ScenarioRunner::Delete},
        {L"wait", &ScenarioRunner::Wait},         {L"screenshot", &ScenarioRunner::Screenshot},
        {L"log", &ScenarioRunner::Log},           {L"window", &ScenarioRunner::Window},
        {L"latency", &ScenarioRunner::Latency},   {L"store", &ScenarioRunner::StoreState},
        {L"timing", &ScenarioRunner::Timing},     {L"timers", &ScenarioRunner::Timers},
    };
    return handlers;
}

void ScenarioRunner::Note(const std::wstring& text) const { m_world.GetTrace().Host(text); }

unsigned ScenarioRunner::StepsNotTaken() const noexcept { return m_pageCommands ? m_pageCommands->StepsNotTaken() : 0; }

void ScenarioRunner::Run(const Scenario& scenario)
{
    for (const ScenarioCommand& command : scenario.Commands())
        Run(command);
}

void ScenarioRunner::Run(const ScenarioCommand& command)
{
    std::wstring text = command.text;
    text.erase(0, text.find_first_not_of(L" \t"));
    Note(L"[" + std::to_wstring(command.line) + L"] " + text);
    auto it = Handlers().find(command.name);
    if (it != Handlers().end())
        (this->*(it->second))(command);
    else
        m_pageCommands->Run(command);
    MessagePump::PumpPending();
}

void ScenarioRunner::Folder(const ScenarioCommand& c)
{
    StoreKind store = c.Option(L"store", L"public") == L"mailbox" ? StoreKind::Mailbox : StoreKind::Public;
    OlItemType type = olMailItem;
    for (int i = 0; i < static_cast<int>(std::size(Scenario::kFolderKinds)); ++i)
        if (c.Option(L"kind", L"mail") == Scenario::kFolderKinds[i])
            type = static_cast<OlItemType>(i);
    outlooksim::Folder* folder = m_world.AddFolder(c.args[0], store, type, c.Option(L"parent"));
    if (!folder)
        Note(L"folder " + Trace::Quoted(c.args[0]) + L" not made: the name is taken or the parent is unknown");
}

void ScenarioRunner::Watch(const ScenarioCommand& c)
{
    outlooksim::Folder* folder = m_world.FindFolder(c.args[0]);
    if (!folder)
        return Note(L"no folder " + Trace::Quoted(c.args[0]));
    m_watched.push_back({folder->EntryId(), folder->StoreId(), folder->Name(), c.Option(L"alerts"),
                         c.Option(L"soundfile"), c.Option(L"plugins")});
}

void ScenarioRunner::WriteConfiguration(const std::wstring& progId)
{
    if (m_watched.empty() || !m_configPath.empty())
        return;
    const std::wstring library = AddinHost::LibraryPath(progId);
    if (library.empty())
        return Note(L"no library registered for " + progId + L": no configuration written");
    m_configPath = library.substr(0, library.find_last_of(L'\\') + 1) + nffile::kFileName;
    std::ifstream old(std::filesystem::path(m_configPath), std::ios::binary);
    m_hadConfig = static_cast<bool>(old);
    if (old)
        m_savedConfig.assign(std::istreambuf_iterator<char>(old), std::istreambuf_iterator<char>());
    old.close();
    ::DeleteFileW(m_configPath.c_str());
    auto put = [&](const std::wstring& section, const wchar_t* key, const std::wstring& value) {
        ::WritePrivateProfileStringW(section.c_str(), key, value.c_str(), m_configPath.c_str());
    };
    auto flag = [](bool on) { return std::wstring(on ? L"1" : L"0"); };
    auto has = [](const std::wstring& list, const wchar_t* word) {
        return (L"," + list + L",").find(L"," + std::wstring(word) + L",") != std::wstring::npos;
    };
    for (size_t i = 0; i < m_watched.size(); ++i) {
        const WatchedFolder& w = m_watched[i];
        const std::wstring section = nffile::FolderSection(static_cast<long>(i + 1));
        put(section, nffile::kEntryId, w.entryId);
        put(section, nffile::kStoreId, w.storeId);
        put(section, nffile::kFriendlyName, w.name);
        put(section, nffile::kPlaySound, flag(has(w.alerts, L"sound") || has(w.alerts, L"defaultsound")));
        put(section, nffile::kUseDefaultSound, flag(has(w.alerts, L"defaultsound")));
        put(section, nffile::kShowTrayIcon, flag(has(w.alerts, L"tray")));
        put(section, nffile::kChangeCursor, flag(has(w.alerts, L"cursor")));
        put(section, nffile::kSoundFile, w.soundFile);
        std::vector<std::wstring> plugins;
        for (size_t start = 0; start < w.plugins.size();) {
            size_t end = std::min(w.plugins.find(L',', start), w.plugins.size());
            plugins.push_back(w.plugins.substr(start, end - start));
            start = end + 1;
        }
        put(section, nffile::kPluginCount, std::to_wstring(plugins.size()));
        for (size_t j = 0; j < plugins.size(); ++j)
            put(section, nffile::PluginKey(static_cast<long>(j + 1)).c_str(), plugins[j]);
    }
    put(nffile::kGeneral, nffile::kFolderCount, std::to_wstring(m_watched.size()));
    m_configuration = {m_configPath, FileBytes(m_configPath).value_or(""), std::nullopt};
    Note(L"configuration written: " + Trace::Count(static_cast<long>(m_watched.size()), L"watched folder") + L" in " +
         m_configPath);
}

void ScenarioRunner::RestoreConfiguration() noexcept
{
    if (m_configPath.empty())
        return;
    try {
        m_configuration.left = FileBytes(m_configPath);
    } catch (...) {
        m_configuration.left.reset();
    }
    ::DeleteFileW(m_configPath.c_str());
    if (m_hadConfig)
        std::ofstream(std::filesystem::path(m_configPath), std::ios::binary) << m_savedConfig;
    m_configPath.clear();
}

void ScenarioRunner::Connect(const ScenarioCommand& c)
{
    if (m_addin)
        m_addin->Release();
    WriteConfiguration(c.args[0]);
    // The add-in's calls of the notification area, sounds and the cursor are traced.
    if (!SystemCallTracer::Attach(m_world.GetTrace(), c.args[0]))
        Note(L"the add-in's system calls are not traced");
    m_addin = std::make_unique<AddinHost>(m_world.GetTrace(), m_world.Application().Get());
    MessagePump::ResetLongestDispatch();
    m_addin->Connect(c.args[0], c.Option(L"mode") == L"afterstartup" ? ext_cm_AfterStartup : ext_cm_Startup);
}

void ScenarioRunner::Disconnect(const ScenarioCommand&)
{
    if (!m_addin || !m_addin->Connected())
        return Note(L"no add-in is connected");
    m_addin->Disconnect();
}

void ScenarioRunner::Release(const ScenarioCommand&)
{
    if (!m_addin)
        return Note(L"no add-in is loaded");
    m_addin->Release();
    m_addin.reset();
    RestoreConfiguration();
}

// Outlook closes. "fast" (the default) as Outlook 2010 and later do it:
// Quit, then the add-in is released without OnBeginShutdown or
// OnDisconnection. "classic" as earlier versions: Quit, then both calls.
void ScenarioRunner::Quit(const ScenarioCommand& c)
{
    m_world.RaiseQuit();
    if (!m_addin)
        return;
    if (!c.args.empty() && c.args[0] == L"classic")
        m_addin->Release();
    else
        m_addin->ReleaseWithoutDisconnect();
    m_addin.reset();
    RestoreConfiguration();
}

// One item, or count= items at once ("<subject> 1" to "<subject> n", a
// minute apart from received= on); more than limit= of them (16 unless
// given) raise no ItemAdd.
void ScenarioRunner::Deliver(const ScenarioCommand& c)
{
    const OlItemType type = c.args[0] == L"post" ? olPostItem : olMailItem;
    ItemData data{c.Option(L"subject"), c.Option(L"sender"), 0};
    if (auto date = ParseScenarioDate(c.Option(L"received")))
        data.received = *date;
    if (!c.options.count(L"count")) {
        if (!m_world.Deliver(c.args[1], type, std::move(data)))
            Note(L"no folder " + Trace::Quoted(c.args[1]));
        return;
    }
    const unsigned long count = std::stoul(c.Option(L"count"));
    std::vector<ItemData> items;
    for (unsigned long i = 0; i < count; ++i) {
        ItemData item = data;
        item.subject += L" " + std::to_wstring(i + 1);
        if (data.received != 0)
            item.received = data.received + static_cast<double>(i) / (24 * 60);
        items.push_back(std::move(item));
    }
    const size_t limit = c.options.count(L"limit") ? std::stoul(c.Option(L"limit")) : OutlookWorld::kBurstLimit;
    if (!m_world.DeliverAtOnce(c.args[1], type, std::move(items), limit))
        Note(L"no folder " + Trace::Quoted(c.args[1]));
}

void ScenarioRunner::Properties(const ScenarioCommand& c)
{
    if (!m_world.OpenProperties(c.args[0]))
        Note(L"no folder " + Trace::Quoted(c.args[0]));
}

bool ScenarioRunner::PropertiesOpen() const
{
    if (m_world.Properties())
        return true;
    Note(L"no Properties dialog is open");
    return false;
}

void ScenarioRunner::Page(const ScenarioCommand& c)
{
    if (PropertiesOpen() && !m_world.Properties()->Select(c.args[0]))
        Note(L"the dialog has no page " + Trace::Quoted(c.args[0]));
}

void ScenarioRunner::Click(const ScenarioCommand& c)
{
    if (PropertiesOpen() && !m_world.Properties()->Click(c.args[0]))
        Note(L"the dialog has no button " + Trace::Quoted(c.args[0]));
}

void ScenarioRunner::Button(const ScenarioCommand& c)
{
    if (!PropertiesOpen())
        return;
    using B = FolderPropertiesDialog::Button;
    B button = c.name == L"apply" ? B::Apply : c.name == L"ok" ? B::Ok : B::Cancel;
    if (!m_world.Properties()->Press(button))
        Note(L"the Apply button is disabled");
}

void ScenarioRunner::Tray(const ScenarioCommand& c)
{
    static const std::map<std::wstring, UINT> mouse = {
        {L"click", WM_LBUTTONDOWN},
        {L"dblclick", WM_LBUTTONDBLCLK},
        {L"rightclick", WM_RBUTTONDOWN},
        {L"rightdblclick", WM_RBUTTONDBLCLK},
    };
    WindowSearch search{kTrayWindowClass, nullptr};
    ::EnumWindows(&FindOwnWindow, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return Note(L"no tray window (class " + std::wstring(kTrayWindowClass) + L") in this process");
    ::SendMessageW(search.found, kTrayMessage, 0, mouse.at(c.args[0]));
}

void ScenarioRunner::Explorer(const ScenarioCommand& c)
{
    if (c.args[0] == L"off")
        m_world.RemoveExplorer();
    else
        m_world.RestoreExplorer();
}

void ScenarioRunner::Delete(const ScenarioCommand& c)
{
    if (!m_world.DeleteFolder(c.args[0]))
        Note(L"no folder " + Trace::Quoted(c.args[0]) + L" that can be deleted");
}

void ScenarioRunner::Wait(const ScenarioCommand& c) { MessagePump::PumpFor(std::stoul(c.args[0])); }

void ScenarioRunner::Screenshot(const ScenarioCommand& c)
{
    ::SHCreateDirectoryExW(nullptr, m_options.outDir.c_str(), nullptr);
    std::wstring path = Join(m_options.outDir, c.args[0] + L".png");
    MessagePump::PumpPending(); // let every window paint first
    Screenshot::Source source{};
    RgbImage image = Screenshot::Capture(&source);
    bool written = Png::Write(path, image);
    Note(L"screenshot " + path + L" " + std::to_wstring(image.width) + L"x" + std::to_wstring(image.height) +
         (source == Screenshot::Source::Screen ? L" from the screen" : L" from the windows") +
         (written ? L"" : L": could not be written"));
}

void ScenarioRunner::Log(const ScenarioCommand& c)
{
    std::wstring path = IsRelative(c.args[0]) ? Join(m_options.programDir, c.args[0]) : c.args[0];
    size_t count = c.options.count(L"lines") ? std::stoul(c.Option(L"lines")) : 20;
    auto lines = TailLines(path, count);
    if (!lines)
        return Note(L"log " + path + L": cannot be read");
    Note(L"log " + path + L", last " + Trace::Count(static_cast<long>(lines->size()), L"line") + L":");
    for (const auto& line : *lines)
        m_world.GetTrace().Line(L"  | " + line);
}

void ScenarioRunner::Window(const ScenarioCommand& c)
{
    const HWND window = WindowCommands::Find(c.args[0]);
    if (!window)
        return Note(L"no window " + Trace::Quoted(c.args[0]));
    const std::wstring& action = c.args[1];
    if (action == L"state" || action == L"rows") {
        const auto lines = action == L"state" ? WindowCommands::Describe(window) : WindowCommands::ListRows(window);
        Note(L"window " + Trace::Quoted(c.args[0]) + L" " + action + L":");
        for (const auto& line : lines)
            m_world.GetTrace().Line(L"  | " + line);
        return;
    }
    const std::wstring problem = WindowCommands::Act(window, action, c.args.size() > 2 ? c.args[2] : L"");
    if (!problem.empty())
        Note(problem);
}

void ScenarioRunner::Latency(const ScenarioCommand& c)
{
    const auto& latency = m_world.Latency();
    const auto ms = [&](const wchar_t* key, DWORD current) {
        return c.options.count(key) ? static_cast<DWORD>(std::stoul(c.Option(key))) : current;
    };
    m_world.SetLatency(ms(L"getfolderfromid", latency.getFolderFromId), ms(L"items", latency.items));
}

void ScenarioRunner::StoreState(const ScenarioCommand& c)
{
    m_world.SetStoreOnline(c.args[0] == L"mailbox" ? StoreKind::Mailbox : StoreKind::Public, c.args[1] == L"online");
}

// What Outlook counts against an add-in's start-up, and the longest time
// the user-interface thread was blocked since the add-in was connected:
// one of the three calls, or one message dispatched by the host's pump.
void ScenarioRunner::Timing(const ScenarioCommand&)
{
    if (!m_addin)
        return Note(L"no add-in is loaded");
    const AddinHost::StartupTimes& t = m_addin->Times();
    const auto ms = [](double seconds) { return std::to_wstring(static_cast<long>(seconds * 1000 + 0.5)) + L" ms"; };
    const double longest = std::max({t.creation, t.connection, t.startupComplete, MessagePump::LongestDispatch()});
    Note(L"timing: start-up " + ms(t.Total()) + L" (creation " + ms(t.creation) + L", OnConnection " +
         ms(t.connection) + L", OnStartupComplete " + ms(t.startupComplete) + L"), longest step " + ms(longest));
}

void ScenarioRunner::Timers(const ScenarioCommand& c)
{
    SystemCallTracer::SetTimerDivisor(static_cast<unsigned>(std::stoul(c.args[0])));
}

} // namespace outlooksim
