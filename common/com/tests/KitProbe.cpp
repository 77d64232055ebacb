#include "KitProbe.h"

#include "com/SnapshotEnum.h"

KitProbe::KitProbe() { AddConnectionPoint(DIID_DKitProbeEvents); }

HRESULT KitProbe::get_Name(BSTR* value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        *value = com::Bstr(m_name).release();
        return S_OK;
    });
}

HRESULT KitProbe::put_Name(BSTR value) noexcept
{
    return Guard([&] {
        m_name = com::Bstr(value).str();
        return S_OK;
    });
}

HRESULT KitProbe::Join(BSTR first, VARIANT second, VARIANT third, BSTR* result) noexcept
{
    return Guard([&] {
        if (!result)
            return E_POINTER;
        std::wstring text(first ? first : L"");
        for (const VARIANT* v : {&second, &third}) {
            bool missing = v->vt == VT_ERROR && v->scode == DISP_E_PARAMNOTFOUND;
            text += L"|";
            text += missing ? L"<missing>" : static_cast<const com::Variant*>(v)->ToString(L"?");
        }
        *result = com::Bstr(text).release();
        return S_OK;
    });
}

HRESULT KitProbe::get_Target(IDispatch** value) noexcept
{
    if (!value)
        return E_POINTER;
    *value = m_target.Get();
    if (*value)
        (*value)->AddRef();
    return S_OK;
}

HRESULT KitProbe::putref_Target(IDispatch* value) noexcept
{
    m_target = value;
    return S_OK;
}

HRESULT KitProbe::Fail(long code, BSTR description) noexcept
{
    return Guard([&]() -> HRESULT { throw com::ComError(code, description ? description : L""); });
}

HRESULT KitProbe::Raise(long value) noexcept
{
    return Guard([&] {
        Point(DIID_DKitProbeEvents).Fire(1, {com::Variant(value), com::Variant(m_name)});
        return S_OK;
    });
}

HRESULT KitProbe::get__NewEnum(IUnknown** value) noexcept { return com::MakeVariantEnum(m_items, value); }

HRESULT KitProbe::AddItem(VARIANT item) noexcept
{
    return Guard([&] {
        m_items.emplace_back(item);
        return S_OK;
    });
}

HRESULT KitProbe::get_Count(long* value) noexcept
{
    if (!value)
        return E_POINTER;
    *value = static_cast<long>(m_items.size());
    return S_OK;
}
