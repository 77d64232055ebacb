// An add-in's page in the Properties sheet: the page control is activated
// in place in the page's window as an OLE control, with a client site that
// (or whose container) is the PropertyPageSite. The sheet's Apply and OK call
// PropertyPage::Apply through the page's vtable when its Dirty says so;
// OnStatusChange from the page enables the Apply button when it is dirty.
#pragma once

#include <memory>
#include <string>

#include "SheetPage.h"
#include "SheetRoutes.h"
#include "com/ComRaii.h"

namespace outlooksim {

class ControlSite;
class InPlaceFrame;
class PageContainer;
class PageSite;
class Session;

class PageHost final : public SheetPage {
  public:
    // frame: the sheet's in-place frame, shared by its pages.
    PageHost(std::shared_ptr<Session> session, IUnknown* control, std::wstring title, IDispatch* pages,
             InPlaceFrame* frame, SheetRoutes routes);
    ~PageHost() override;

    const std::wstring& Title() const noexcept override { return m_title; }
    IUnknown* Control() const noexcept { return m_control.Get(); }
    // The control's own window inside the page, once it is in place.
    HWND ControlWindow() const noexcept { return m_controlWindow; }
    bool InPlace() const noexcept { return m_controlWindow != nullptr; }

    // From the page site.
    void StatusChanged();
    // True if window is the control's window or inside it.
    bool Holds(HWND window) const noexcept;
    // A container's mnemonic: Alt+letter in the table of the control's
    // GetControlInfo makes the control's OnMnemonic run; true if it took it.
    bool RunMnemonic(MSG& msg);
    // A UI-active control loses its user interface once the focus is on
    // another window of the sheet.
    void DeactivateIfLeft();

  protected:
    void OnInit() override;
    void OnSize() override;
    void OnApply() override;
    void OnDestroy() override;

  private:
    void Note(const std::wstring& text) const;
    // Dirty through the vtable; false when the page cannot say.
    bool ReadDirty();
    bool ActivateControl();
    void ShowPlaceholder();

    std::shared_ptr<Session> m_session;
    com::ComPtr<IUnknown> m_control;
    std::wstring m_title;
    SheetRoutes m_routes;
    com::ComPtr<PageSite> m_site;
    com::ComPtr<PageContainer> m_container;
    com::ComPtr<ControlSite> m_clientSite;
    com::ComPtr<IOleObject> m_ole;
    com::ComPtr<InPlaceFrame> m_frame;
    HWND m_controlWindow = nullptr;
};

} // namespace outlooksim
