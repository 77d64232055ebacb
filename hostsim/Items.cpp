#include "Items.h"

#include "Folder.h"
#include "outlook/OutlookIds.h"

namespace outlooksim {

Items::Items(Folder* folder) : m_folder(folder)
{
    AddConnectionPoint(DIID_ItemsEvents);
    m_folder->Attach(this);
}

Items::~Items() { m_folder->Detach(this); }

int Items::SubscriberCount() const noexcept
{
    return static_cast<int>(const_cast<Items*>(this)->Point(DIID_ItemsEvents).SinkCount());
}

void Items::RaiseItemAdd(IDispatch* item) noexcept
{
    Point(DIID_ItemsEvents).Fire(OL_DISPID_ITEMS_ITEMADD, {com::Variant(item)});
}

} // namespace outlooksim
