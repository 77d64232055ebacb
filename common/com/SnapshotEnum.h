// The IEnumXxx pattern once: an enumerator over a snapshot of items taken
// when it was made. Clones share the snapshot and copy the position.
#pragma once

#include <memory>
#include <vector>

#include "com/ComObject.h"

namespace com {

// Traits: `static void Copy(Out* to, const Item& from)` hands out a copy
// that the caller owns.
template <class IEnum, class Out, class Item, class Traits>
class SnapshotEnum final : public ComObject<SnapshotEnum<IEnum, Out, Item, Traits>, IEnum> {
  public:
    using Items = std::vector<Item>;

    explicit SnapshotEnum(std::shared_ptr<const Items> items, size_t position = 0)
        : m_items(std::move(items)), m_position(position)
    {
    }

    HRESULT STDMETHODCALLTYPE Next(ULONG count, Out* out, ULONG* fetched) noexcept override
    {
        if (fetched)
            *fetched = 0;
        if (!out)
            return E_POINTER;
        ULONG n = 0;
        while (n < count && m_position < m_items->size()) {
            Traits::Copy(&out[n], (*m_items)[m_position]);
            ++n;
            ++m_position;
        }
        if (fetched)
            *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) noexcept override
    {
        size_t left = m_items->size() - m_position;
        if (count > left) {
            m_position = m_items->size();
            return S_FALSE;
        }
        m_position += count;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Reset() noexcept override
    {
        m_position = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IEnum** out) noexcept override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        return CatchReturn([&]() -> HRESULT {
            *out = Make<SnapshotEnum>(m_items, m_position).Detach();
            return S_OK;
        });
    }

  private:
    std::shared_ptr<const Items> m_items;
    size_t m_position;
};

struct VariantCopyTraits {
    static void Copy(VARIANT* to, const Variant& from) noexcept
    {
        ::VariantInit(to);
        ::VariantCopy(to, const_cast<Variant*>(&from));
    }
};

using VariantEnum = SnapshotEnum<IEnumVARIANT, VARIANT, Variant, VariantCopyTraits>;

// An IEnumVARIANT over a copy of the given values (for NewEnum, DISPID_NEWENUM).
HRESULT MakeVariantEnum(std::vector<Variant> items, IUnknown** out) noexcept;

} // namespace com
