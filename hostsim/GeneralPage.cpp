#include "GeneralPage.h"

#include "Folder.h"
#include "Store.h"

namespace outlooksim {

namespace {

// Where the folder is, as Outlook shows it: \\Store\Parent\...
std::wstring Location(Folder* folder)
{
    std::wstring path;
    for (Folder* p = folder->ParentFolder(); p && p->ParentFolder(); p = p->ParentFolder())
        path = L"\\" + p->Name() + path;
    return L"\\\\" + folder->OwningStore()->DisplayName() + path;
}

} // namespace

GeneralPage::GeneralPage(Folder* folder) : m_folder(folder) {}

void GeneralPage::OnInit()
{
    const std::wstring rows[][2] = {
        {L"Typ:", m_folder->KindText()},
        {L"Ort:", Location(m_folder.Get())},
        {L"Elemente:", std::to_wstring(m_folder->Contents().size())},
    };
    AddControl(L"STATIC", m_folder->Name().c_str(), SS_LEFT, RECT{10, 10, 240, 22});
    AddControl(L"STATIC", L"", SS_ETCHEDHORZ, RECT{10, 28, 240, 30});
    int top = 38;
    for (const auto& row : rows) {
        AddControl(L"STATIC", row[0].c_str(), SS_LEFT, RECT{10, top, 60, top + 10});
        AddControl(L"STATIC", row[1].c_str(), SS_LEFT | SS_PATHELLIPSIS, RECT{62, top, 240, top + 10});
        top += 16;
    }
}

} // namespace outlooksim
