#include "ZarqProbe.h"

#include <set>
#include <vector>

#include "com/ComServer.h"
#include "com/LateBound.h"

namespace {

std::vector<std::string> g_journal;
std::set<std::string> g_failing; // "Operation" or "Class.Operation"
int g_instances = 0;

HRESULT OutText(BSTR* value, const std::string& text)
{
    if (!value)
        return E_POINTER;
    *value = com::Bstr::FromAnsi(text).release();
    return S_OK;
}

// {6E1B7A20-3C55-4A8B-9F0E-2D1C5B8A7E01}, {6E1B7A21-...}
const CLSID kClsidZarqProbe = {0x6e1b7a20, 0x3c55, 0x4a8b, {0x9f, 0x0e, 0x2d, 0x1c, 0x5b, 0x8a, 0x7e, 0x01}};
const CLSID kClsidZarqOther = {0x6e1b7a21, 0x3c55, 0x4a8b, {0x9f, 0x0e, 0x2d, 0x1c, 0x5b, 0x8a, 0x7e, 0x01}};

constexpr char kProbe[] = "ZarqProbe";
constexpr char kOther[] = "ZarqOther";

} // namespace

ZarqProbe::ZarqProbe(const char* sClass) : m_sClass(sClass), m_nInstance(++g_instances) {}

HRESULT ZarqProbe::Record(const char* sOperation, const std::string& sArguments) noexcept
{
    try {
        std::string line = m_sClass + "#" + std::to_string(m_nInstance) + " " + sOperation;
        if (!sArguments.empty())
            line += " " + sArguments;
        g_journal.push_back(line);
        // Also on standard output, so a host program's trace shows the calls in order.
        const std::string out = "plugin: " + line + "\n";
        DWORD written = 0;
        ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
        if (g_failing.count(sOperation) || g_failing.count(m_sClass + "." + sOperation))
            return Fail(E_FAIL, L"The probe was told to fail");
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT ZarqProbe::PluginAddRef() noexcept
{
    HRESULT hr = Record("AddRef");
    if (SUCCEEDED(hr))
        ++m_iRefCount;
    return hr;
}

HRESULT ZarqProbe::DeleteRef() noexcept
{
    HRESULT hr = Record("DeleteRef");
    if (SUCCEEDED(hr))
        --m_iRefCount;
    return hr;
}

HRESULT ZarqProbe::get_RefCount(short* value) noexcept
{
    if (!value)
        return E_POINTER;
    *value = m_iRefCount;
    return Record("RefCount", std::to_string(m_iRefCount));
}

HRESULT ZarqProbe::GetClass(BSTR* value) noexcept
{
    // Not journalled: the host asks for it at every lookup.
    if (g_failing.count("GetClass") || g_failing.count(m_sClass + ".GetClass"))
        return Fail(E_FAIL, L"The probe was told to fail");
    return OutText(value, m_sClass);
}

HRESULT ZarqProbe::GetDescription(BSTR* value) noexcept { return OutText(value, "Records every call"); }
HRESULT ZarqProbe::GetFriendlyName(BSTR* value) noexcept { return OutText(value, m_sClass + " probe"); }

HRESULT ZarqProbe::GetId(VARIANT* value) noexcept
{
    if (!value)
        return E_POINTER;
    ::VariantInit(value);
    return S_OK;
}

HRESULT ZarqProbe::Configure() noexcept { return Record("Configure"); }
HRESULT ZarqProbe::Info() noexcept { return Record("Info"); }
HRESULT ZarqProbe::StartUp() noexcept { return Record("StartUp"); }
HRESULT ZarqProbe::ShutDown() noexcept { return Record("ShutDown"); }
HRESULT ZarqProbe::BeforeSaveSettings() noexcept { return Record("BeforeSaveSettings"); }
HRESULT ZarqProbe::LoadSettings(BSTR sSection) noexcept { return Record("LoadSettings", com::Bstr(sSection).ansi()); }
HRESULT ZarqProbe::SaveSettings(BSTR sSection) noexcept { return Record("SaveSettings", com::Bstr(sSection).ansi()); }

HRESULT ZarqProbe::HandleItemAdd(IDispatch* Item, _NotifyFolder* Nf) noexcept
{
    std::string subject = "?", folder = "?";
    try {
        com::Variant v;
        if (Item && SUCCEEDED(com::GetProperty(Item, L"Subject", &v)))
            subject = com::Narrow(v.ToString());
        com::Bstr name;
        if (Nf && SUCCEEDED(Nf->get_FriendlyName(name.put())))
            folder = name.ansi();
    } catch (...) {
    }
    return Record("HandleItemAdd", "\"" + subject + "\" in \"" + folder + "\"");
}

namespace com {

std::span<const ComClass> ServerClasses()
{
    static const ComClass classes[] = {
        {&kClsidZarqProbe, L"ZarqProbe.ZarqPlugin", nullptr, L"ZarqProbe.ZarqPlugin",
         &com::CreateInstance<ZarqProbe, kProbe>},
        {&kClsidZarqOther, L"ZarqOther.ZarqPlugin", nullptr, L"ZarqOther.ZarqPlugin",
         &com::CreateInstance<ZarqProbe, kOther>},
    };
    return classes;
}

} // namespace com

// What the tests use to read and steer the probe.
extern "C" {

__declspec(dllexport) void __stdcall ZarqProbeReset()
{
    g_journal.clear();
    g_failing.clear();
    g_instances = 0;
}

__declspec(dllexport) void __stdcall ZarqProbeFail(const char* operation)
{
    g_failing.insert(operation ? operation : "");
}

// Copies the journal, one line per call ending in '\n'; returns the length it needs.
__declspec(dllexport) int __stdcall ZarqProbeJournal(char* buffer, int size)
{
    std::string text;
    for (const std::string& line : g_journal)
        text += line + "\n";
    if (buffer && size > 0) {
        int n = static_cast<int>(text.size()) < size - 1 ? static_cast<int>(text.size()) : size - 1;
        text.copy(buffer, static_cast<size_t>(n));
        buffer[n] = '\0';
    }
    return static_cast<int>(text.size()) + 1;
}
}
