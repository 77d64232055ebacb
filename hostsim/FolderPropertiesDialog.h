// A folder's Properties dialog: OptionsPagesAdd is raised with a fresh
// PropertyPages collection, then a modeless property sheet shows the
// dialog's own "Allgemein" page and every page the add-ins added. The
// buttons are pressed the way a user would press them: Apply only when it
// is enabled. The pages' site and keys take the routes the scenario chose.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "DialogTemplate.h"
#include "MessagePump.h"
#include "SheetRoutes.h"
#include "com/ComRaii.h"

namespace outlooksim {

class Folder;
class InPlaceFrame;
class PageHost;
class PropertyPages;
class Session;
class SheetPage;

class FolderPropertiesDialog final : private ModelessWindow {
  public:
    enum class Button { Apply, Ok, Cancel };

    FolderPropertiesDialog(std::shared_ptr<Session> session, Folder* folder, SheetRoutes routes = {});
    ~FolderPropertiesDialog();
    FolderPropertiesDialog(const FolderPropertiesDialog&) = delete;
    FolderPropertiesDialog& operator=(const FolderPropertiesDialog&) = delete;

    // Raises OptionsPagesAdd, then shows the sheet. False if it could not be shown.
    bool Open();
    bool IsOpen() const noexcept { return m_sheet != nullptr; }
    HWND Window() const noexcept { return m_sheet; }
    Folder* GetFolder() const noexcept;

    std::vector<std::wstring> Titles() const;
    // The add-ins' pages, in the order they were added.
    size_t AddinPageCount() const noexcept { return m_addinPages.size(); }
    PageHost* AddinPage(size_t index) const noexcept;
    // Shows the page with this tab title, or the page with this 1-based number.
    bool Select(std::wstring_view titleOrNumber);
    std::wstring CurrentTitle() const;

    bool ApplyEnabled() const noexcept;
    // False if the dialog is not open or the button is disabled.
    bool Press(Button button);
    // Clicks the button or check box with this text on any page (showing its page first).
    bool Click(std::wstring_view text);

  private:
    bool PreTranslate(MSG& msg) noexcept override;
    // The accelerator route of a key; false if the sheet's dialog handling goes on.
    bool TranslateForControls(MSG& msg);
    // Tab in a control's window that the control left to the sheet: the
    // sheet's next tab stop outside the control.
    void MovePast(const PageHost& page, bool backwards);
    PageHost* ShownAddinPage() const noexcept;
    void AfterMessages() noexcept override;
    void Closed() noexcept;
    int PageIndexOf(HWND control) const noexcept;

    std::shared_ptr<Session> m_session;
    SheetRoutes m_routes;
    com::ComPtr<InPlaceFrame> m_frame;
    com::ComPtr<Folder> m_folder;
    com::ComPtr<PropertyPages> m_pages;
    DialogTemplate m_template;
    std::vector<std::unique_ptr<SheetPage>> m_sheetPages; // "Allgemein", then the add-ins' pages
    std::vector<PageHost*> m_addinPages;
    std::wstring m_caption;
    HWND m_sheet = nullptr;
    const wchar_t* m_lastButton = L"";
};

} // namespace outlooksim
