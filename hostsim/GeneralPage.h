// The Properties dialog's own first page, "Allgemein": the folder's name,
// what it holds, where it is and how many items it has.
#pragma once

#include <string>

#include "SheetPage.h"
#include "com/ComRaii.h"

namespace outlooksim {

class Folder;

class GeneralPage final : public SheetPage {
  public:
    explicit GeneralPage(Folder* folder);
    const std::wstring& Title() const noexcept override { return m_title; }

  protected:
    void OnInit() override;

  private:
    com::ComPtr<Folder> m_folder;
    std::wstring m_title = L"Allgemein";
};

} // namespace outlooksim
