#include "Explorer.h"

#include "ExplorerWindow.h"
#include "Folder.h"
#include "Session.h"
#include "com/AutomationValues.h"

namespace outlooksim {

Explorer::Explorer(std::shared_ptr<Session> session, Folder* current)
    : m_session(std::move(session)), m_current(current)
{
    if (m_session->ShowWindows())
        m_window = std::make_unique<ExplorerWindow>(*m_session);
    Refresh();
}

Explorer::~Explorer() = default;

std::wstring Explorer::CurrentName() const { return m_current ? m_current->Name() : std::wstring(); }

HWND Explorer::Window() const noexcept { return m_window ? m_window->Handle() : nullptr; }

HRESULT Explorer::Activate() noexcept
{
    return Guard([&] {
        m_session->GetTrace().Outlook(L"Explorer.Activate");
        if (m_closed)
            return Fail(E_FAIL, kClosed);
        ++m_activations;
        if (m_window)
            m_window->BringToFront();
        return S_OK;
    });
}

HRESULT Explorer::get_CurrentFolder(MAPIFolder** value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        *value = nullptr;
        m_session->GetTrace().Outlook(L"Explorer.CurrentFolder -> " + Trace::Quoted(CurrentName()));
        if (m_closed)
            return Fail(E_FAIL, kClosed);
        return com::Out(value, static_cast<MAPIFolder*>(m_current.Get()));
    });
}

HRESULT Explorer::putref_CurrentFolder(MAPIFolder* value) noexcept
{
    return Guard([&] {
        Folder* folder = FindOwnFolder(value);
        if (!folder) {
            m_session->GetTrace().Outlook(L"Explorer.CurrentFolder = (not a folder of this session) -> error " +
                                          Trace::Hresult(Session::kMapiNotFound));
            return Fail(Session::kMapiNotFound, Session::kNotFound);
        }
        m_session->GetTrace().Outlook(L"Explorer.CurrentFolder = " + Trace::Quoted(folder->Name()));
        if (m_closed)
            return Fail(E_FAIL, kClosed);
        m_current = folder;
        Refresh();
        return S_OK;
    });
}

// The argument is taken as any object: only a live folder of this session's
// stores is one the explorer can show.
Folder* Explorer::FindOwnFolder(IUnknown* object) const noexcept
{
    if (!object)
        return nullptr;
    com::ComPtr<MAPIFolder> folder;
    if (FAILED(object->QueryInterface(IID_MAPIFolder, reinterpret_cast<void**>(folder.GetAddressOf()))))
        return nullptr;
    for (const auto& store : m_session->Stores())
        for (const auto& f : store->Folders())
            if (static_cast<MAPIFolder*>(f.Get()) == folder.Get())
                return f.Get();
    return nullptr;
}

void Explorer::ShowFolder(Folder* folder) noexcept
{
    m_current = folder;
    Refresh();
}

void Explorer::Refresh() noexcept
{
    if (m_window)
        m_window->Show(m_current.Get());
}

void Explorer::Close() noexcept
{
    m_closed = true;
    m_window.reset();
}

} // namespace outlooksim
