// The folder settings page "Überwachung": an ActiveX control that Outlook
// shows in a folder's Properties dialog. The add-in sets its properties
// by name before Outlook gives it a window, so every value lives in a
// member and the window's controls only show it. Apply writes the page
// into the watched-folder collection and saves the configuration file.
//
// Tab 0 "Standardaktionen" holds the alerts, tab 1 "Plugins" the plug-ins
// found in the plug-in directory, listed on the first visit of the tab.
#pragma once

#include <string>
#include <vector>

#include "Twips.h"
#include "com/OleControl.h"
#include "config/ProductKeys.h"
#include "corvane.h"
#include "corvaneProps.h"
#include "outlook.h"
#include "ui/FontSet.h"
#include "ui/Layout.h"
#include "ui/Panel.h"
#include "ui/Window.h"
#include "zarqPropMainLayout.h"

class zarqPropMain final : public com::OleControl<zarqPropMain, _zarqPropMain, PropertyPage>, private ui::Window {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"corvaneProps.zarqPropMain"; }
    static const CLSID& ClassId() noexcept { return CLSID_zarqPropMain; }
    static const IID& EventId() noexcept { return DIID___zarqPropMain; }
    static constexpr DWORD kMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                                         OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
    static constexpr SIZE kDesignTwips = pagelayout::kPageTwips;
    static constexpr const char* kPluginKey = productkeys::kInstallKey;

    zarqPropMain();
    ~zarqPropMain() override;

    // From the OLE control base.
    HWND CreateControlWindow(HWND parent, const RECT& pos);
    void OnInitProperties();
    void OnClientSiteChanged() noexcept;
    void RevealControl(HWND window) noexcept;

    // _zarqPropMain
    HRESULT STDMETHODCALLTYPE get_WatchFolder(VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_WatchFolder(VARIANT_BOOL value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_PlaySound(VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_PlaySound(VARIANT_BOOL value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_UseDefaultSound(VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_UseDefaultSound(VARIANT_BOOL value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_ChangeCursor(VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_ChangeCursor(VARIANT_BOOL value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_ShowTrayIcon(VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_ShowTrayIcon(VARIANT_BOOL value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_SoundFile(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_SoundFile(BSTR value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_SkipEvents(VARIANT_BOOL bSkipEvents) noexcept override;
    HRESULT STDMETHODCALLTYPE put_FolderDisplayName(BSTR value) noexcept override;
    HRESULT STDMETHODCALLTYPE putref_MAPIFolder(IDispatch* olFolder) noexcept override;
    HRESULT STDMETHODCALLTYPE putref_NotifyFolders(IDispatch* nfFolders) noexcept override;
    HRESULT STDMETHODCALLTYPE get_PageCaption(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_HidePluginPage(VARIANT_BOOL bHide) noexcept override;
    HRESULT STDMETHODCALLTYPE UpdateControlStates() noexcept override;

    // PropertyPage
    HRESULT STDMETHODCALLTYPE GetPageInfo(BSTR* HelpFile, long* HelpContext) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Dirty(VARIANT_BOOL* Dirty) noexcept override;
    HRESULT STDMETHODCALLTYPE Apply() noexcept override;

  private:
    // The check boxes; their values are 0 or 1.
    enum Box { chkWatchFolder, chkPlaySound, chkUseDefaultSound, chkChangeCursor, chkShowTrayIcon, kBoxCount };

    // One entry of the plug-in list.
    struct PluginEntry {
        std::wstring text;        // GetFriendlyName
        std::wstring description; // GetDescription
        std::wstring tag;         // the class name: the library's name up to its first "."
        bool checked = false;
    };

    // The windows of the page, once it has them.
    struct Windows {
        HWND root = nullptr;
        HWND lblCurrentFolder = nullptr;
        HWND boxes[kBoxCount] = {};
        HWND fraWatch = nullptr;
        HWND fraDontWatch = nullptr;
        HWND tabMain = nullptr;
        HWND tabPages[2] = {};
        HWND txtSoundFile = nullptr;
        HWND btnChooseSound = nullptr;
        HWND lvwPlugin = nullptr;
        HWND btnInfo = nullptr;
        HWND btnConfig = nullptr;
        HWND tooltip = nullptr;
    };

    // Properties and handlers (zarqPropMain.cpp).
    HRESULT ReadBox(Box box, VARIANT_BOOL* value) noexcept;
    HRESULT WriteBox(Box box, VARIANT_BOOL value) noexcept;
    bool IsChecked(Box box) const noexcept { return m_boxes[box] == 1; }
    void SetBoxValue(Box box, int value);
    void BoxClicked(Box box);
    void SetSoundFileText(const std::wstring& text);
    void SoundFileChanged();
    void SetDirty();
    void UpdateSoundControls();
    void UpdateWatchFrames();
    void ChooseSound();
    void ApplySettings();

    // The plug-in tab (zarqPropMainPlugins.cpp).
    void InitPluginTab();
    void TabClicked();
    void DisplayInstalledPlugins(const std::string& sPluginPath);
    void ItemChecked(int index);
    void ItemClicked(int index);
    void EnableButtons(bool bEnabled);
    void RunPluginMethod(PluginMethod method);
    bool ApplyPlugins(_NotifyFolder* folder, const std::wstring& sEntryId, const std::wstring& sStoreId);
    // The watched folder of the page's Outlook folder, or null.
    com::ComPtr<_NotifyFolder> WatchedFolder(bool* found = nullptr) const;
    std::wstring OutlookFolderText(const wchar_t* property) const;

    // Where the tables of the panels go.
    struct Targets {
        ui::LayoutTarget page, watchFrame, standardTab, pluginTab, dontWatchFrame;
    };

    // The window (zarqPropMainWindow.cpp).
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged() override;
    void OnDestroyed() noexcept override;
    void OnCommand(int id, HWND control, WORD code);
    void OnNotify(const NMHDR& header);
    void CreateChildren();
    int TabStrip() const noexcept;
    void PlaceTabs(int shorter = 0) noexcept;
    int ShortenBy() const noexcept;
    void FitToHeight() noexcept;
    void ShowPictures() noexcept;
    Targets LayoutTargets() const noexcept;
    void ShowTabPage();
    void SelectTab(int tab);
    void ShowPluginTab();
    void FillPluginList();
    void SetListCheck(int index, bool checked);
    void PaintBand(HDC hdc);
    void SyncEnabledStates();

    Windows m_w;
    Twips m_twips; // the window's, once it has one; the screen's before
    ui::FontSet m_fonts;
    ui::Panel m_frames[2];    // fraWatch, fraDontWatch
    ui::Panel m_tabPanels[2]; // the pages of the two tabs
    static constexpr size_t kPictureCount = 4;
    com::UniqueHIcon m_pictures[kPictureCount]; // of pagelayout::kPictures

    // The page's state.
    com::ComPtr<PropertyPageSite> m_olSite;
    com::ComPtr<IDispatch> m_olFolder;
    com::ComPtr<_NotifyFolders> m_nfFolders;
    bool m_bDirty = false;
    bool m_bSkipEvents = false;
    bool m_bPluginsLoaded = false;
    std::string m_sPluginPath;

    // What the controls show.
    int m_boxes[kBoxCount] = {};
    std::wstring m_soundFile;
    std::wstring m_folderDisplayName = L"#";
    bool m_soundFileEnabled = true;       // txtSoundFile and btnChooseSound
    bool m_useDefaultSoundEnabled = true; // chkUseDefaultSound
    bool m_pluginButtonsEnabled = true;   // btnInfo and btnConfig
    bool m_pluginTabVisible = true;
    int m_tab = 0;
    std::wstring m_infoTip;
    int m_descriptionWidth = 0; // twips
    std::vector<PluginEntry> m_plugins;
    int m_selected = -1;
    bool m_quiet = false; // the page itself is changing a control: no handler runs
};
