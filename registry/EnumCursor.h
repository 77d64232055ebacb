// The enumeration state of a collection that serves as its own
// IEnumVARIANT: a count taken when the enumerator was made and a position.
// Items are fetched by 1-based position through the collection's Item.
#pragma once

#include <oaidl.h>

#include <vector>

#include "com/ComRaii.h"

namespace reg {

class EnumCursor {
  public:
    void Start(ULONG count) noexcept
    {
        m_count = count;
        m_position = 0;
    }

    // itemAt(position) returns the item as a variant. Items are collected
    // first, so that a failure hands out nothing.
    template <typename ItemAt>
    HRESULT Next(ULONG celt, VARIANT* out, ULONG* fetched, ItemAt&& itemAt)
    {
        std::vector<com::Variant> items;
        while (items.size() < celt && m_position < m_count) {
            items.push_back(itemAt(static_cast<long>(m_position + 1)));
            ++m_position;
        }
        for (size_t i = 0; i < items.size(); ++i)
            out[i] = items[i].Detach();
        if (fetched)
            *fetched = static_cast<ULONG>(items.size());
        return items.size() == celt ? S_OK : S_FALSE;
    }

    HRESULT Skip(ULONG celt) noexcept
    {
        const ULONG left = m_count - m_position;
        m_position += celt < left ? celt : left;
        return celt <= left ? S_OK : S_FALSE;
    }

    HRESULT Reset() noexcept
    {
        m_position = 0;
        return S_OK;
    }

  private:
    ULONG m_count = 0;
    ULONG m_position = 0;
};

} // namespace reg
