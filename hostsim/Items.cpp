#include "Items.h"

#include <algorithm>

#include "Folder.h"
#include "Session.h"
#include "Trace.h"
#include "outlook/OutlookIds.h"

namespace outlooksim {

Items::Items(Folder* folder) : m_folder(folder)
{
    AddConnectionPoint(DIID_ItemsEvents);
    m_folder->Attach(this);
}

Items::~Items() { m_folder->Detach(this); }

void Items::Note(const std::wstring& text) const
{
    m_folder->GetTrace().Outlook(L"Items(" + Trace::Quoted(m_folder->Name()) + L")." + text);
}

std::vector<const FolderItem*> Items::Ordered() const
{
    std::vector<const FolderItem*> items;
    for (const FolderItem& item : m_folder->Contents())
        items.push_back(&item);
    if (m_order != Order::Unsorted) {
        const bool descending = m_order == Order::ReceivedDescending;
        std::stable_sort(items.begin(), items.end(), [descending](const FolderItem* a, const FolderItem* b) {
            return descending ? a->data->received > b->data->received : a->data->received < b->data->received;
        });
    }
    return items;
}

HRESULT Items::get_Count(long* value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        *value = static_cast<long>(m_folder->Contents().size());
        Note(L"Count -> " + std::to_wstring(*value));
        return S_OK;
    });
}

// Outlook's Items.Item takes a position from 1 to Count (or a subject,
// which nothing here asks for); any other position is an error.
HRESULT Items::Item(VARIANT Index, IDispatch** value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        *value = nullptr;
        com::Variant position;
        if (FAILED(::VariantChangeType(&position, &Index, 0, VT_I4))) {
            Note(L"Item(?) -> error " + Trace::Hresult(DISP_E_TYPEMISMATCH));
            return Fail(DISP_E_TYPEMISMATCH, Session::kInvalidArgument);
        }
        const long at = position.lVal;
        const auto items = Ordered();
        if (at < 1 || static_cast<size_t>(at) > items.size()) {
            Note(L"Item(" + std::to_wstring(at) + L") -> error " + Trace::Hresult(DISP_E_BADINDEX));
            return Fail(DISP_E_BADINDEX, kBadIndex);
        }
        const FolderItem* item = items[static_cast<size_t>(at - 1)];
        Note(L"Item(" + std::to_wstring(at) + L") -> " + Trace::Quoted(item->data->subject));
        *value = com::ComPtr<IDispatch>(item->object).Detach();
        return S_OK;
    });
}

// Outlook's Items.Sort takes a property name, with or without brackets.
// The stand-in's items sort by ReceivedTime only.
HRESULT Items::Sort(BSTR Property, VARIANT Descending) noexcept
{
    return Guard([&] {
        const std::wstring property = com::Bstr(Property).str();
        bool descending = false;
        if (!(Descending.vt == VT_ERROR && Descending.scode == DISP_E_PARAMNOTFOUND)) {
            com::Variant flag;
            if (FAILED(::VariantChangeType(&flag, &Descending, 0, VT_BOOL)))
                return Fail(DISP_E_TYPEMISMATCH, Session::kInvalidArgument);
            descending = flag.boolVal != VARIANT_FALSE;
        }
        const std::wstring call = L"Sort(" + Trace::Quoted(property) + (descending ? L", True)" : L", False)");
        if (::CompareStringOrdinal(property.c_str(), -1, L"[ReceivedTime]", -1, TRUE) != CSTR_EQUAL &&
            ::CompareStringOrdinal(property.c_str(), -1, L"ReceivedTime", -1, TRUE) != CSTR_EQUAL) {
            Note(call + L" -> error " + Trace::Hresult(E_INVALIDARG));
            return Fail(E_INVALIDARG, kUnknownProperty);
        }
        m_order = descending ? Order::ReceivedDescending : Order::ReceivedAscending;
        Note(call);
        return S_OK;
    });
}

int Items::SubscriberCount() const noexcept
{
    return static_cast<int>(const_cast<Items*>(this)->Point(DIID_ItemsEvents).SinkCount());
}

void Items::RaiseItemAdd(IDispatch* item) noexcept
{
    Point(DIID_ItemsEvents).Fire(OL_DISPID_ITEMS_ITEMADD, {com::Variant(item)});
}

} // namespace outlooksim
