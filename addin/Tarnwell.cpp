#include "Tarnwell.h"

#include <mmsystem.h>

#include "AddinErrors.h"
#include "AddinSeams.h"
#include "CorvaneIds.h"
#include "FolderSettings.h"
#include "NotifyFolders.h"
#include "NotifyFoldersIni.h"
#include "Resources.h"
#include "TheApp.h"
#include "com/LateBound.h"
#include "frmSplash.h"
#include "g_modDebug.h"
#include "g_modNewFunc.h"
#include "outlook/OutlookIds.h"

namespace {

std::string Ansi(const std::wstring& text) { return com::Narrow(text); }

} // namespace

// Every step of creation, connection, disconnection and destruction runs
// with its failures suppressed: a failing step is skipped and the next one
// runs; nothing is reported, neither to Outlook nor in the log.

Tarnwell::Tarnwell()
    : m_olApp(kOlDiidApplicationEvents,
              [this](DISPID id, DISPPARAMS*) {
                  if (id == OL_DISPID_APPLICATION_QUIT)
                      RunReported("Tarnwell::m_olApp_Quit()", [&] { m_olApp_Quit(); });
              }),
      m_olNs(kOlDiidNameSpaceEvents,
             [this](DISPID id, DISPPARAMS* p) {
                 if (id == OL_DISPID_OPTIONSPAGESADD)
                     RunReported("Tarnwell::m_olNs_OptionsPagesAdd()", [&] {
                         m_olNs_OptionsPagesAdd(com::Variant(com::EventArg(p, 0)).ToDispatch().Get(),
                                                com::Variant(com::EventArg(p, 1)).ToDispatch().Get());
                     });
             }),
      m_nfFolders(DIID___NotifyFolders, [this](DISPID id, DISPPARAMS* p) {
          if (id == NF_DISPID_NFITEMADD)
              RunReported("Tarnwell::m_nfFolder_NfItemAdd()", [&] {
                  m_nfFolders_NfItemAdd(com::Variant(com::EventArg(p, 0)).ToDispatch().Get(),
                                        com::Variant(com::EventArg(p, 1)).ToString(),
                                        com::Variant(com::EventArg(p, 2)).ToString());
              });
      })
{
    RunSkipped([&] { g_theApp = std::make_unique<TheApp>(); });
    RunSkipped([&] { m_nfFolders.Assign(com::Make<NotifyFolders>().Get()); });
    RunSkipped([&] { AssignTrayWindow(std::make_shared<frmTrayIcon>()); });
    g_frmTrayIcon = m_frmTrayIcon;
    if (m_frmTrayIcon)
        m_frmTrayIcon->Load();
}

Tarnwell::~Tarnwell()
{
    m_binder.reset();
    m_nfFolders.Clear();
    g_theApp.reset();
    g_frmTrayIcon.reset();
    ReleaseTrayWindow();
    m_olNs.Clear();
    m_olApp.Clear();
}

void Tarnwell::ReleaseTrayWindow() noexcept
{
    if (m_frmTrayIcon) {
        m_frmTrayIcon->SetListener(nullptr);
        m_frmTrayIcon->RemoveMessageHandler(this);
    }
    m_frmTrayIcon.reset();
}

// A form whose handler cannot be added (no memory for the list) is not
// kept: the add-in then runs without its tray window.
void Tarnwell::AssignTrayWindow(std::shared_ptr<frmTrayIcon> form)
{
    ReleaseTrayWindow();
    if (!form)
        return;
    form->AddMessageHandler(this);
    form->SetListener(this);
    m_frmTrayIcon = std::move(form);
}

HRESULT Tarnwell::OnConnection(IDispatch* Application, ext_ConnectMode, IDispatch*, SAFEARRAY**) noexcept
{
    // The splash window: created, loaded, timer started, shown modeless
    // without an owner. It closes and frees itself.
    RunSkipped([&] {
        if (frmSplash* splash = frmSplash::Load()) {
            splash->BeginTimer();
            splash->Show();
        }
    });

    // Outlook's Application interface; another host's object offers none,
    // and then the following steps have nothing to work on.
    // Outlook 2010 and later end without OnBeginShutdown and OnDisconnection
    // when the user closes Outlook; Quit is the last call that arrives
    // ("Shutdown Changes for Outlook 2010"), so m_olApp listens for it.
    RunSkipped([&] {
        m_bShutDown = false;
        m_olApp.Clear();
        com::ComPtr<IDispatch> app;
        if (Application)
            Application->QueryInterface(kOlIidApplication, reinterpret_cast<void**>(app.GetAddressOf()));
        m_olApp.Assign(app.Get());

        com::ComPtr<IDispatch> ns;
        if (m_olApp)
            ns = com::GetObjectProperty(m_olApp.Get(), L"GetNamespace", {com::Variant(L"MAPI")});
        m_olNs.Assign(ns.Get());

        if (m_nfFolders && m_olNs)
            m_nfFolders->putref_OutlookNamespace(m_olNs.Get());
    });
    // The configuration is read into the collection now, every folder with
    // its settings and plug-in list; the folders bind after start-up, from
    // the tray window's messages, one at a time (FolderBinder).
    auto* nfFolders = static_cast<NotifyFolders*>(m_nfFolders.Get()); // made by this class
    RunSkipped([&] {
        m_binder.reset();
        if (nfFolders)
            m_binder = std::make_unique<FolderBinder>(nfFolders, m_frmTrayIcon);
    });
    if (nfFolders)
        nfFolders->DeferBindingTo(m_binder.get());
    LoadFolders();
    if (nfFolders)
        nfFolders->DeferBindingTo(nullptr);
    StartItemCountChecks();
    return S_OK;
}

void Tarnwell::StartItemCountChecks() noexcept
{
    const HWND hWnd = m_frmTrayIcon ? m_frmTrayIcon->Hwnd() : nullptr;
    if (hWnd && !g_addinSeams.SetTimer(hWnd, kItemCountTimer, kItemCountTick, nullptr))
        ReportFailure("Tarnwell::StartItemCountChecks()", HRESULT_FROM_WIN32(::GetLastError()));
}

bool Tarnwell::TrayWindowMessage(UINT uMsg, WPARAM wParam, LPARAM) noexcept
{
    if (uMsg != WM_TIMER || wParam != kItemCountTimer)
        return false;
    RunReported("Tarnwell::m_frmTrayIcon_Timer()", [&] {
        // The collection is always the NotifyFolders made at creation.
        if (m_nfFolders)
            static_cast<NotifyFolders*>(m_nfFolders.Get())->CheckNextItemCount();
    });
    return true;
}

void Tarnwell::LoadFolders() noexcept
{
    auto* folders = static_cast<NotifyFolders*>(m_nfFolders.Get()); // made by this class
    if (folders)
        folders->SetLoadIncomplete(true);
    // A load that failed has logged why; the folders it did not reach stay
    // in the file, which is then never saved over.
    RunReported("Tarnwell::LoadFolders()", [&] {
        _NotifyFolders* nfFolders = m_nfFolders.Get();
        if (SUCCEEDED(com::Make<NotifyFoldersIni>()->LoadFolders(&nfFolders)) && folders)
            folders->SetLoadIncomplete(false);
    });
}

void Tarnwell::SaveFolders() noexcept
{
    RunReported("Tarnwell::SaveFolders()", [&] {
        _NotifyFolders* nfFolders = m_nfFolders.Get();
        Check(com::Make<NotifyFoldersIni>()->SaveFolders(&nfFolders));
    });
}

HRESULT Tarnwell::OnDisconnection(ext_DisconnectMode, SAFEARRAY**) noexcept
{
    ShutDown();
    return S_OK;
}

void Tarnwell::m_olApp_Quit() noexcept { ShutDown(); }

void Tarnwell::ShutDown() noexcept
{
    // Outlook before 2010 raises Quit and then calls OnBeginShutdown and
    // OnDisconnection as well: the second call finds nothing left to do.
    if (m_bShutDown)
        return;
    m_bShutDown = true;
    RunSkipped([&] {
        if (m_frmTrayIcon)
            m_frmTrayIcon->Unload();
    });
    // Folders not bound yet stay so; the collection holds them all.
    if (m_binder)
        m_binder->Stop();
    RunSkipped([&] {
        if (m_nfFolders)
            m_nfFolders->BeginShutdown();
    });
    // The references stay until the object is released.
    m_olNs.Unsubscribe();
    m_olApp.Unsubscribe();
}

HRESULT Tarnwell::OnAddInsUpdate(SAFEARRAY**) noexcept { return S_OK; }

HRESULT Tarnwell::OnStartupComplete(SAFEARRAY**) noexcept { return S_OK; }

HRESULT Tarnwell::OnBeginShutdown(SAFEARRAY**) noexcept { return S_OK; }

void Tarnwell::m_olNs_OptionsPagesAdd(IDispatch* Pages, IDispatch* Folder)
{
    // Every step runs with its failures suppressed; a failing step is skipped.
    if (!Folder)
        return;
    com::Variant itemType;
    if (SUCCEEDED(com::GetProperty(Folder, L"DefaultItemType", &itemType)) && itemType.ToLong(-1) != OL_MAIL_ITEM)
        return; // calendars, contacts, tasks, notes and journals get no page

    com::ComPtr<IDispatch> page;
    CLSID clsid{};
    HRESULT hr = ::CLSIDFromProgID(L"corvaneProps.zarqPropMain", &clsid);
    if (SUCCEEDED(hr))
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                reinterpret_cast<void**>(page.GetAddressOf()));
    if (!page) {
        WriteLog(LogError, "Cannot create property page", "m_olNs_OptionsPages()", hr,
                 com::Narrow(com::DescribeError(hr)), true);
        return;
    }

    com::Variant name, entryId;
    com::GetProperty(Folder, L"Name", &name);
    com::GetProperty(Folder, L"EntryID", &entryId);
    com::PutProperty(page.Get(), L"FolderDisplayName", com::Variant(name.ToString()));
    com::Bstr sEntryId(entryId.ToString());
    VARIANT_BOOL watched = VARIANT_FALSE;
    com::ComPtr<_NotifyFolder> nf;
    if (m_nfFolders) {
        m_nfFolders->Find(sEntryId.get(), &watched);
        m_nfFolders->GetFromEntryId(sEntryId.get(), &nf);
    }
    com::PutProperty(page.Get(), L"WatchFolder", com::Variant(watched != VARIANT_FALSE));
    if (nf) {
        // The page ignores its own change events while the settings arrive.
        com::PutProperty(page.Get(), L"SkipEvents", com::Variant(true));
        VARIANT_BOOL flag = VARIANT_FALSE;
        if (SUCCEEDED(nf->get_ChangeCursor(&flag)))
            com::PutProperty(page.Get(), L"ChangeCursor", com::Variant(flag != VARIANT_FALSE));
        if (SUCCEEDED(nf->get_PlaySound(&flag)))
            com::PutProperty(page.Get(), L"PlaySound", com::Variant(flag != VARIANT_FALSE));
        if (SUCCEEDED(nf->get_ShowTrayIcon(&flag)))
            com::PutProperty(page.Get(), L"ShowTrayIcon", com::Variant(flag != VARIANT_FALSE));
        com::Bstr soundFile;
        if (SUCCEEDED(nf->get_SoundFile(soundFile.put())))
            com::PutProperty(page.Get(), L"SoundFile", com::Variant(soundFile.view()));
        if (SUCCEEDED(nf->get_UseDefaultSound(&flag)))
            com::PutProperty(page.Get(), L"UseDefaultSound", com::Variant(flag != VARIANT_FALSE));
        com::PutProperty(page.Get(), L"SkipEvents", com::Variant(false));
    }
    nf.Reset();
    com::CallMethod(page.Get(), L"UpdateControlStates");
    com::PutPropertyRef(page.Get(), L"MAPIFolder", Folder);
    com::PutPropertyRef(page.Get(), L"NotifyFolders", m_nfFolders.Get());
    if (Pages)
        com::CallMethod(Pages, L"Add", {com::Variant(static_cast<IDispatch*>(page.Get())), com::Variant(L"")});
}

void Tarnwell::m_nfFolders_NfItemAdd(IDispatch*, const std::wstring& sFolderEntryId,
                                     const std::wstring& sFolderStoreId) noexcept
{
    // Every new item becomes the target of the next double-click.
    RunReported("Tarnwell::m_nfFolder_NfItemAdd()", [&] {
        m_sLastEntryId = sFolderEntryId;
        m_sLastStoreId = sFolderStoreId;
    });
    RunReported("Tarnwell::m_nfFolder_NfItemAdd()", [&] {
        if (!m_nfFolders)
            throw com::ComError(E_POINTER, L"Object variable or With block variable not set");
        com::Bstr entryId(sFolderEntryId);
        VARIANT_BOOL found = VARIANT_FALSE;
        Check(m_nfFolders->Find(entryId.get(), &found));
        if (!found) {
            Warn("The NotifyFolder object for the folder " + Ansi(sFolderEntryId) + " could not be found",
                 "Tarnwell::NfItemAdd()");
            return;
        }
        com::ComPtr<_NotifyFolder> nf;
        m_nfFolders->GetFromEntryId(entryId.get(), &nf); // a failure leaves it empty
        if (!nf) {
            Warn("The NotifyFolder object for the folder " + Ansi(sFolderEntryId) +
                     " was found, but could not be retrieved / was 'nothing'",
                 "Tarnwell::NfItemAdd()");
            return;
        }
        if (FolderFlag(nf.Get(), &_NotifyFolder::get_ShowTrayIcon))
            HandleShowTrayIcon(nf.Get());
        if (FolderFlag(nf.Get(), &_NotifyFolder::get_PlaySound))
            HandlePlaySound(nf.Get());
        if (FolderFlag(nf.Get(), &_NotifyFolder::get_ChangeCursor))
            HandleShowCursor(nf.Get());
    });
}

void Tarnwell::HandleShowTrayIcon(_NotifyFolder* nf) noexcept
{
    RunReported("Tarnwell()", [&] {
        if (!m_frmTrayIcon) {
            Warn("Could not show trayicon - a needed window does not exist", "Tarnwell::NfItemAdd()");
            return;
        }
        m_frmTrayIcon->ShowMailIcon(frmTrayIcon::mitNewMail);
        m_frmTrayIcon->ShowTooltip(FolderText(nf, &_NotifyFolder::get_FriendlyName));
    });
}

void Tarnwell::HandlePlaySound(_NotifyFolder* nf) noexcept
{
    RunReported("Tarnwell::HandlePlaySound()", [&] {
        if (!FolderFlag(nf, &_NotifyFolder::get_PlaySound))
            return;
        if (FolderFlag(nf, &_NotifyFolder::get_UseDefaultSound)) {
            // The system's sound for new mail, or its default sound.
            g_addinSeams.PlaySoundW(L"MailBeep", nullptr, SND_ALIAS | SND_ASYNC);
            return;
        }
        // The path as the folder holds it: a path in any script plays.
        const std::wstring sSoundFile = FolderText(nf, &_NotifyFolder::get_SoundFile);
        if (FileExists(sSoundFile))
            g_addinSeams.PlaySoundW(sSoundFile.c_str(), nullptr, SND_ASYNC);
    });
}

void Tarnwell::HandleShowCursor(_NotifyFolder* nf) noexcept
{
    RunReported("Tarnwell::HandleShowCursor()", [&] {
        if (!FolderFlag(nf, &_NotifyFolder::get_ChangeCursor))
            return;
        // Save the current arrow as a copy of its own.
        HCURSOR saved = g_addinSeams.CopyIcon(g_addinSeams.LoadCursorA(nullptr, IDC_ARROW));
        if (!saved)
            return;
        HCURSOR envelope = g_addinSeams.LoadCursorA(com::Module::Instance(), MAKEINTRESOURCEA(IDC_ENVELOPE));
        if (!envelope) {
            ::DestroyCursor(saved);
            return;
        }
        // The system takes ownership of both handles handed to it. (Wine's
        // SetSystemCursor does not change the cursor; Windows does.)
        g_addinSeams.SetSystemCursor(g_addinSeams.CopyIcon(envelope), OCR_NORMAL);
        g_addinSeams.Sleep(500);
        g_addinSeams.SetSystemCursor(saved, OCR_NORMAL);
    });
}

void Tarnwell::ResetTrayIcon() noexcept
{
    RunReported("Tarnwell::ResetTrayIcon()", [&] {
        if (!m_frmTrayIcon)
            return;
        m_frmTrayIcon->ShowMailIcon(frmTrayIcon::mitNoNewMail);
        m_frmTrayIcon->ShowTooltip(kNoNewMail);
    });
}

void Tarnwell::TrayIconLeftDblClick() noexcept
{
    const char* const sSource = "Tarnwell::TrayIconLeftDblClick()";
    RunReported(sSource, [&] {
        if (m_sLastEntryId.empty() || m_sLastStoreId.empty()) {
            Warn("Invalid StoreId or invalid EntryId", sSource);
        } else {
            com::ComPtr<IDispatch> folder;
            if (m_olNs)
                folder = com::GetObjectProperty(m_olNs.Get(), L"GetFolderFromID",
                                                {com::Variant(m_sLastEntryId), com::Variant(m_sLastStoreId)});
            com::ComPtr<IDispatch> explorer;
            if (m_olApp)
                explorer = com::GetObjectProperty(m_olApp.Get(), L"ActiveExplorer");
            if (!explorer) {
                Warn("No active explorer available", sSource);
            } else {
                if (!folder)
                    Warn("Could not get MAPI folder from EntryId " + Ansi(m_sLastEntryId), sSource);
                else
                    com::PutPropertyRef(explorer.Get(), L"CurrentFolder", folder.Get());
                com::CallMethod(explorer.Get(), L"Activate");
            }
        }
    });
    ResetTrayIcon();
}

void Tarnwell::TrayIconRightDown() noexcept { ResetTrayIcon(); }
