#include "com/SnapshotEnum.h"

namespace com {

HRESULT MakeVariantEnum(std::vector<Variant> items, IUnknown** out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    return CatchReturn([&]() -> HRESULT {
        auto snapshot = std::make_shared<const std::vector<Variant>>(std::move(items));
        ComPtr<IEnumVARIANT> e = Make<VariantEnum>(std::move(snapshot));
        *out = e.Detach();
        return S_OK;
    });
}

} // namespace com
