// The small Outlook the add-in's benchmarks run in: the add-in connected,
// the folder "Support" watched with every alert switched on, and "Archiv",
// watched by nobody, whose deliveries measure the stand-in's own cost.
#pragma once

#include "Folder.h"
#include "OutlookWorld.h"
#include "Tarnwell.h"

struct WatchedWorld {
    outlooksim::OutlookWorld world{outlooksim::OutlookWorld::Options{false, false}};
    com::ComPtr<Tarnwell> addin = com::Make<Tarnwell>();
    // Null when the folder could not be watched.
    com::ComPtr<_NotifyFolder> support;

    WatchedWorld()
    {
        outlooksim::Folder* watched = world.AddFolder(L"Support");
        world.AddFolder(L"Archiv");
        addin->OnConnection(world.Application().Get(), ext_cm_Startup, nullptr, nullptr);
        long index = 0;
        addin->Folders()->Add(com::Bstr(watched->EntryId()).get(), com::Bstr(watched->StoreId()).get(),
                              com::Bstr(L"Support").get(), &index);
        addin->Folders()->GetAt(index, &support);
        if (support) {
            support->put_ShowTrayIcon(VARIANT_TRUE);
            support->put_PlaySound(VARIANT_TRUE);
            support->put_UseDefaultSound(VARIANT_TRUE);
            support->put_ChangeCursor(VARIANT_TRUE);
        }
    }
    ~WatchedWorld() { addin->OnDisconnection(ext_dm_HostShutdown, nullptr); }
    WatchedWorld(const WatchedWorld&) = delete;
    WatchedWorld& operator=(const WatchedWorld&) = delete;
};
