// How a folder's Properties sheet gives an add-in's page its site and its
// keys; the scenario command "sheet" chooses (defaults: what Outlook does).
//
// Site: Outlook answers PropertyPageSite on the client site it hands to
// IOleObject::SetClientSite, not on the container behind it (the pages
// known to work in Outlook ask the client site: ATL's pages with a
// CComQIPtr on it, .NET's with GetClientSite; Microsoft documentation,
// "PropertyPageSite object (Outlook)", names it the page's container,
// which VB's pages reach as Parent). The container route answers it only
// behind IOleClientSite::GetContainer.
//
// Keys: with the accelerator route the sheet offers each key to the
// active object's IOleInPlaceActiveObject::TranslateAccelerator, knows a
// control's mnemonics from IOleControl::GetControlInfo (calling OnMnemonic)
// and treats the control's window as one stop of its own Tab order (the
// contract of an OLE control container; Microsoft documentation,
// IOleInPlaceActiveObject::TranslateAccelerator and IOleControl). With the
// dialog route the sheet's IsDialogMessage does everything, which reaches
// into the control only through windows with WS_EX_CONTROLPARENT
// (Microsoft documentation, "Dialog Box Programming Considerations").
#pragma once

namespace outlooksim {

struct SheetRoutes {
    enum class Site { Client, Container };
    enum class Keys { Accelerator, Dialog };
    Site site = Site::Client;
    Keys keys = Keys::Accelerator;
};

} // namespace outlooksim
