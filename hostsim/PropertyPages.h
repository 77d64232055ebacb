// PropertyPages: the pages that add-ins hand to a folder's Properties
// dialog while OptionsPagesAdd runs. After the event the collection is
// closed: the dialog shows what it holds.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "com/ComObject.h"
#include "outlook.h"

namespace outlooksim {

class Folder;
class Session;

class PropertyPages final : public com::ComObject<PropertyPages, ::PropertyPages, ISupportErrorInfo> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"Microsoft Outlook"; }
    static constexpr const wchar_t* kClosed =
        L"Seiten k\u00F6nnen nur beim \u00D6ffnen des Dialogs hinzugef\u00FCgt werden.";

    struct Entry {
        com::ComPtr<IUnknown> control;
        std::wstring title;
    };

    PropertyPages(std::shared_ptr<Session> session, Folder* folder);

    HRESULT STDMETHODCALLTYPE get_Application(_Application** value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Class(OlObjectClass* value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Session(_NameSpace** value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Parent(IDispatch** value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Count(long* value) noexcept override;
    HRESULT STDMETHODCALLTYPE Item(VARIANT Index, IDispatch** value) noexcept override;
    HRESULT STDMETHODCALLTYPE Add(VARIANT Page, BSTR Title) noexcept override;
    HRESULT STDMETHODCALLTYPE Remove(VARIANT Index) noexcept override;

    void Close() noexcept { m_open = false; }
    const std::vector<Entry>& Entries() const noexcept { return m_entries; }
    // Lets go of the page controls (the dialog has gone).
    void Clear() noexcept { m_entries.clear(); }

  private:
    // The 0-based position named by a 1-based number or a title; npos if none.
    size_t Find(const VARIANT& index) const;
    void Note(const std::wstring& text) const;

    std::shared_ptr<Session> m_session;
    com::ComPtr<Folder> m_folder;
    std::vector<Entry> m_entries;
    bool m_open = true;
};

} // namespace outlooksim
