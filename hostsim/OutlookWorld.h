// Building an Outlook object model for the host program and the tests:
//
//   outlooksim::OutlookWorld world;                       // mailbox with "Posteingang", public store
//   world.AddFolder(L"Support");                          // a mail folder among the public folders
//   world.AddFolder(L"Kalender", StoreKind::Mailbox, olAppointmentItem);
//   addin->OnConnection(world.Application().Get(), ...);
//   world.Deliver(L"Support", olMailItem, {L"Anfrage", L"Erika Muster"});   // raises ItemAdd
//   world.GetTrace().Contains(L"ItemAdd raised on \"Support\"");
//
// A program that uses it links outlooksim and embeds Outlook's type library
// as resource 2 TYPELIB: hostsim_link(<target>) in CMake does both.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ItemData.h"
#include "Session.h"
#include "SheetRoutes.h"
#include "Store.h"
#include "Trace.h"
#include "com/ComRaii.h"
#include "outlook.h"

namespace outlooksim {

class Application;
class Explorer;
class Folder;
class FolderPropertiesDialog;
class Session;
struct FolderItem;

class OutlookWorld {
  public:
    struct Options {
        bool echoTrace = true;    // trace lines also go to standard output
        bool showWindows = false; // the explorer has a visible window
    };

    OutlookWorld();
    explicit OutlookWorld(const Options& options);
    ~OutlookWorld();
    OutlookWorld(const OutlookWorld&) = delete;
    OutlookWorld& operator=(const OutlookWorld&) = delete;

    Trace& GetTrace() const noexcept;
    // Outlook's Application object, as an add-in receives it.
    com::ComPtr<IDispatch> Application() const;
    Store& Mailbox() const noexcept;
    Store& PublicStore() const noexcept;
    Folder* Inbox() const noexcept;

    // A new folder; the parent is a folder's name, or empty for the top of
    // the store ("Alle Öffentlichen Ordner" among the public folders).
    // Null if the name is taken or the parent unknown. In the mailbox, the
    // first folder of a kind other than mail becomes that kind's default folder.
    Folder* AddFolder(const std::wstring& name, StoreKind store = StoreKind::Public, OlItemType type = olMailItem,
                      std::wstring_view parent = {});
    // A live folder by name (folder names are unique in a world), or null.
    Folder* FindFolder(std::wstring_view name) const noexcept;
    // Delivers a mail (olMailItem) or post (olPostItem) item to a folder,
    // which raises ItemAdd on its Items collections. Returns the item, or
    // null if there is no such folder.
    com::ComPtr<IDispatch> Deliver(std::wstring_view folder, OlItemType type, ItemData data);
    // Items that arrive at once: more than burstLimit of them raise no
    // ItemAdd (Folder::DeliverAtOnce). False if there is no such folder.
    static constexpr size_t kBurstLimit = 16;
    bool DeliverAtOnce(std::wstring_view folder, OlItemType type, std::vector<ItemData> data,
                       size_t burstLimit = kBurstLimit);
    // Outlook begins to close: ApplicationEvents.Quit is raised; returns
    // the number of subscribers called.
    int RaiseQuit();
    // Deletes a folder and the folders below it; false if there is none.
    bool DeleteFolder(std::wstring_view name);

    // The server's latency per GetFolderFromID and per Items (milliseconds).
    void SetLatency(DWORD getFolderFromId, DWORD items) noexcept;
    const Session::Latency& Latency() const noexcept;
    // A store taken offline fails every folder lookup in it, as Outlook
    // does, until it is online again.
    void SetStoreOnline(StoreKind store, bool online) noexcept;

    // The explorer: ActiveExplorer returns Nothing while it is removed.
    void RemoveExplorer();
    void RestoreExplorer();
    Explorer* ActiveExplorer() const noexcept;

    // A folder's Properties dialog: OptionsPagesAdd is raised, then the
    // sheet with the pages shows. One dialog at a time; null if the folder
    // is unknown.
    FolderPropertiesDialog* OpenProperties(std::wstring_view folder);
    // The routes of the pages' site and keys in the dialogs opened from now on.
    void SetSheetRoutes(SheetRoutes routes) noexcept { m_sheetRoutes = routes; }
    SheetRoutes GetSheetRoutes() const noexcept { return m_sheetRoutes; }
    // The open dialog, or null once it has been closed.
    FolderPropertiesDialog* Properties() noexcept;
    void CloseProperties() noexcept;

  private:
    FolderItem MakeItem(OlItemType type, ItemData data) const;
    Folder* CreateFolder(Store& store, Folder* parent, const std::wstring& name, OlItemType type);

    std::shared_ptr<Session> m_session;
    std::unique_ptr<FolderPropertiesDialog> m_properties;
    SheetRoutes m_sheetRoutes;
};

} // namespace outlooksim
