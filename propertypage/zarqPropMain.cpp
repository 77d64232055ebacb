#include "zarqPropMain.h"

#include <commdlg.h>

#include "ErrorText.h"
#include "Guarded.h"
#include "PropsSeams.h"
#include "Reported.h"
#include "com/AutomationValues.h"
#include "com/LateBound.h"
#include "g_modDebug.h"

using com::Flag;
using com::Out;
using com::Text;

namespace {

constexpr const char kInvalidObjects[] = "Internal MAPI folder object or NotifyFolders collection is invalid";

} // namespace

zarqPropMain::zarqPropMain() = default;

// Termination: the folder, the collection, then the site.
zarqPropMain::~zarqPropMain()
{
    DestroyControlWindow();
    m_olFolder.Reset();
    m_nfFolders.Reset();
    m_olSite.Reset();
}

// Initialization, when the container initializes the control.
void zarqPropMain::OnInitProperties() { InitPluginTab(); }

// The page's site comes with the client site: Outlook answers
// PropertyPageSite on the client site it hands to SetClientSite (the
// pages known to work in Outlook ask there: ATL's CComQIPtr on the client
// site, .NET's GetClientSite cast to PropertyPageSite); a container that
// offers it behind IOleClientSite::GetContainer is asked second. A new site
// replaces the old one, no site or Close drops it.
void zarqPropMain::OnClientSiteChanged() noexcept
{
    m_olSite.Reset();
    if (ClientSite() && !Closed())
        m_olSite = SiteAs<PropertyPageSite>(IID_PropertyPageSite);
}

// ---------------------------------------------------------------------------
// The check boxes and the sound file box

HRESULT zarqPropMain::ReadBox(Box box, VARIANT_BOOL* value) noexcept { return Out(value, IsChecked(box)); }

HRESULT zarqPropMain::WriteBox(Box box, VARIANT_BOOL value) noexcept
{
    RunSkipped([&] { SetBoxValue(box, Flag(value) ? 1 : 0); });
    return S_OK;
}

// A changed value runs the box's click handler, as a user's click does.
void zarqPropMain::SetBoxValue(Box box, int value)
{
    if (m_boxes[box] == value)
        return;
    m_boxes[box] = value;
    if (m_w.boxes[box]) {
        m_quiet = true;
        ::SendMessageW(m_w.boxes[box], BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
        m_quiet = false;
    }
    BoxClicked(box);
}

void zarqPropMain::BoxClicked(Box box)
{
    if (m_bSkipEvents)
        return;
    switch (box) {
    case chkWatchFolder:
        UpdateWatchFrames();
        SetDirty();
        break;
    case chkPlaySound:
        UpdateSoundControls();
        SetDirty();
        break;
    case chkUseDefaultSound:
        SetDirty();
        m_soundFileEnabled = !IsChecked(chkUseDefaultSound);
        SyncEnabledStates();
        break;
    case chkChangeCursor:
    case chkShowTrayIcon:
        SetDirty();
        break;
    case kBoxCount:
        break;
    }
}

// The text of txtSoundFile; a changed text runs its change handler.
void zarqPropMain::SetSoundFileText(const std::wstring& text)
{
    if (m_soundFile == text)
        return;
    m_soundFile = text;
    if (m_w.txtSoundFile) {
        m_quiet = true;
        ::SetWindowTextW(m_w.txtSoundFile, text.c_str());
        m_quiet = false;
    }
    SoundFileChanged();
}

void zarqPropMain::SoundFileChanged()
{
    if (!m_bSkipEvents)
        SetDirty();
}

HRESULT zarqPropMain::get_WatchFolder(VARIANT_BOOL* value) noexcept { return ReadBox(chkWatchFolder, value); }
HRESULT zarqPropMain::put_WatchFolder(VARIANT_BOOL value) noexcept { return WriteBox(chkWatchFolder, value); }
HRESULT zarqPropMain::get_PlaySound(VARIANT_BOOL* value) noexcept { return ReadBox(chkPlaySound, value); }
HRESULT zarqPropMain::put_PlaySound(VARIANT_BOOL value) noexcept { return WriteBox(chkPlaySound, value); }
HRESULT zarqPropMain::get_UseDefaultSound(VARIANT_BOOL* value) noexcept { return ReadBox(chkUseDefaultSound, value); }
HRESULT zarqPropMain::put_UseDefaultSound(VARIANT_BOOL value) noexcept { return WriteBox(chkUseDefaultSound, value); }
HRESULT zarqPropMain::get_ChangeCursor(VARIANT_BOOL* value) noexcept { return ReadBox(chkChangeCursor, value); }
HRESULT zarqPropMain::put_ChangeCursor(VARIANT_BOOL value) noexcept { return WriteBox(chkChangeCursor, value); }
HRESULT zarqPropMain::get_ShowTrayIcon(VARIANT_BOOL* value) noexcept { return ReadBox(chkShowTrayIcon, value); }
HRESULT zarqPropMain::put_ShowTrayIcon(VARIANT_BOOL value) noexcept { return WriteBox(chkShowTrayIcon, value); }

HRESULT zarqPropMain::get_SoundFile(BSTR* value) noexcept { return Out(value, m_soundFile); }

HRESULT zarqPropMain::put_SoundFile(BSTR value) noexcept
{
    RunSkipped([&] { SetSoundFileText(Text(value)); });
    return S_OK;
}

HRESULT zarqPropMain::put_SkipEvents(VARIANT_BOOL bSkipEvents) noexcept
{
    m_bSkipEvents = Flag(bSkipEvents);
    return S_OK;
}

HRESULT zarqPropMain::put_FolderDisplayName(BSTR value) noexcept
{
    RunSkipped([&] {
        m_folderDisplayName = Text(value);
        if (m_w.lblCurrentFolder)
            ::SetWindowTextW(m_w.lblCurrentFolder, m_folderDisplayName.c_str());
    });
    return S_OK;
}

HRESULT zarqPropMain::putref_MAPIFolder(IDispatch* olFolder) noexcept
{
    m_olFolder = olFolder;
    return S_OK;
}

HRESULT zarqPropMain::putref_NotifyFolders(IDispatch* nfFolders) noexcept
{
    m_nfFolders.Reset();
    if (nfFolders)
        nfFolders->QueryInterface(IID__NotifyFolders, reinterpret_cast<void**>(m_nfFolders.GetAddressOf()));
    return S_OK;
}

HRESULT zarqPropMain::get_PageCaption(BSTR* value) noexcept
{
    // Building the text may run out of memory: the guard makes that an error.
    return Guard([&] { return Out(value, std::wstring(L"\u00DCberwachung")); });
}

HRESULT zarqPropMain::UpdateControlStates() noexcept
{
    RunSkipped([&] {
        UpdateSoundControls();
        UpdateWatchFrames();
    });
    return S_OK;
}

// ---------------------------------------------------------------------------
// The page's own operations

// A site that could not be found when it was set is looked for again.
void zarqPropMain::SetDirty()
{
    m_bDirty = true;
    if (!m_olSite && ClientSite() && !Closed())
        m_olSite = SiteAs<PropertyPageSite>(IID_PropertyPageSite);
    if (m_olSite)
        m_olSite->OnStatusChange();
}

void zarqPropMain::UpdateSoundControls()
{
    const bool play = IsChecked(chkPlaySound);
    m_soundFileEnabled = !IsChecked(chkUseDefaultSound) && play;
    m_useDefaultSoundEnabled = play;
    SyncEnabledStates();
}

void zarqPropMain::UpdateWatchFrames()
{
    const bool watch = IsChecked(chkWatchFolder);
    if (m_w.fraWatch) {
        ::ShowWindow(watch ? m_w.fraDontWatch : m_w.fraWatch, SW_HIDE);
        ::ShowWindow(watch ? m_w.fraWatch : m_w.fraDontWatch, SW_SHOW);
    }
}

// The sound file chooser: the platform's open-file dialog.
void zarqPropMain::ChooseSound()
{
    static constexpr char kFilter[] = "Alle Dateien (*.*)\0*.*\0Wave Dateien (*.wav)\0*.wav\0";
    char file[MAX_PATH] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_w.root;
    ofn.lpstrFilter = kFilter;
    ofn.nFilterIndex = 2;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrTitle = "Sounddatei \xF6"
                     "ffnen";
    ofn.Flags = OFN_HIDEREADONLY | OFN_EXPLORER; // 0x80004
    ofn.lpstrDefExt = "wav";                     // ".wav": the dialog takes the extension without its dot
    if (g_propsSeams.GetOpenFileNameA(&ofn)) {
        SetSoundFileText(com::Widen(file));
        return;
    }
    const DWORD error = ::CommDlgExtendedError();
    if (error == 0)
        return; // cancelled
    ReportError("zarqPropMain::btnChooseSound_Click()", "Common dialog error " + std::to_string(error),
                static_cast<long>(error), true);
    g_propsSeams.MessageBoxA(m_w.root, "Der Dialog zur Dateiauswahl kann nicht angezeigt werden.", "Fehler",
                             MB_OK | MB_ICONSTOP);
}

// ---------------------------------------------------------------------------
// PropertyPage

// The page has no help: both outputs stay as they are.
HRESULT zarqPropMain::GetPageInfo(BSTR*, long*) noexcept { return S_OK; }

HRESULT zarqPropMain::get_Dirty(VARIANT_BOOL* Dirty) noexcept { return Out(Dirty, m_bDirty); }

// Apply changes the collection directly and saves the configuration file.
// The page stays dirty: a second Apply writes the same settings again.
HRESULT zarqPropMain::Apply() noexcept
{
    if (!m_nfFolders || !m_olFolder) {
        Warn(kInvalidObjects, "zarqPropMain::PropertyPage_Apply()");
        return S_OK;
    }
    RunGuarded([&] { ApplySettings(); },
               [](const com::ComError& e) noexcept { ReportCaught("zarqPropMain::PropertyPage_Apply()", e, false); });
    return S_OK;
}

std::wstring zarqPropMain::OutlookFolderText(const wchar_t* property) const
{
    com::Variant value;
    HRESULT hr = com::GetProperty(m_olFolder.Get(), property, &value);
    Check(hr);
    return value.ToString();
}

void zarqPropMain::ApplySettings()
{
    const std::wstring entryId = OutlookFolderText(L"EntryID");
    const std::wstring storeId = OutlookFolderText(L"StoreID");
    const std::wstring name = OutlookFolderText(L"Name");
    const com::Bstr sEntryId(entryId);

    com::ComPtr<_NotifyFolder> folder;
    if (IsChecked(chkWatchFolder)) {
        VARIANT_BOOL found = VARIANT_FALSE;
        long index = 0;
        Check(m_nfFolders->Find(sEntryId.get(), &found));
        if (Flag(found)) {
            Check(m_nfFolders->GetFromEntryId(sEntryId.get(), &folder));
        } else {
            Check(m_nfFolders->Add(sEntryId.get(), com::Bstr(storeId).get(), com::Bstr(name).get(), &index));
            Check(m_nfFolders->GetAt(index, &folder));
        }
        if (!folder) {
            Warn("Could not set properties for Folder with index " + std::to_string(index), "PropertyPage::Apply()");
        } else {
            auto flag = [](bool on) { return on ? VARIANT_TRUE : VARIANT_FALSE; };
            Check(folder->put_ChangeCursor(flag(IsChecked(chkChangeCursor))));
            Check(folder->put_PlaySound(flag(IsChecked(chkPlaySound))));
            Check(folder->put_ShowTrayIcon(flag(IsChecked(chkShowTrayIcon))));
            Check(folder->put_SoundFile(com::Bstr(m_soundFile).get()));
            Check(folder->put_UseDefaultSound(flag(IsChecked(chkUseDefaultSound))));
        }
    } else {
        Check(m_nfFolders->Remove(sEntryId.get()));
    }
    // Plug-ins that could not all be applied are reported; the file then
    // keeps what it held.
    const bool pluginsApplied = !folder || ApplyPlugins(folder.Get(), entryId, storeId);
    VARIANT_BOOL saved = VARIANT_FALSE;
    if (pluginsApplied)
        Check(m_nfFolders->SaveToFile(&saved));
    ItemClicked(m_selected);
    // The add-in has logged why; the user must know that the settings hold
    // only until Outlook ends.
    if (pluginsApplied && !Flag(saved))
        throw com::ComError(E_FAIL, L"Die Einstellungen konnten nicht in notifyfolders.ini gespeichert werden "
                                    L"(N\u00E4heres in corvane.log).");
}
