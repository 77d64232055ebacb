#include "Finder.h"

#include <algorithm>
#include <vector>

#include "DataConversion.h"
#include "RegistryErrors.h"
#include "RovaneInterfaces.h"
#include "SubtreeWalk.h"

namespace reg {

namespace {

BYTE Lower(BYTE b) { return b >= 'A' && b <= 'Z' ? static_cast<BYTE>(b - 'A' + 'a') : b; }

std::span<const BYTE> Bytes(std::string_view text) { return {reinterpret_cast<const BYTE*>(text.data()), text.size()}; }

// The six arguments of one Found call, first to last.
struct Hit {
    std::string key;
    std::string value;
    bool hasValue = false;
    com::Variant data;
    com::Variant dataType;
    com::Variant dataLength;
};

// Delivers a hit to every sink in connection order; returns Cancel.
bool FireFound(IConnectionPoint& events, const Hit& hit)
{
    com::ComPtr<IEnumConnections> connections;
    HRESULT hr = events.EnumConnections(&connections);
    if (FAILED(hr))
        RaiseSystemHr(hr);
    VARIANT_BOOL cancel = VARIANT_FALSE;
    com::Variant args[6]; // last to first, as DISPPARAMS holds them
    args[0].vt = VT_BOOL | VT_BYREF;
    args[0].pboolVal = &cancel;
    args[1] = hit.dataLength;
    args[2] = hit.dataType;
    args[3] = hit.data;
    if (hit.hasValue)
        args[4] = com::Variant(std::wstring_view(com::Widen(hit.value)));
    args[5] = com::Variant(std::wstring_view(com::Widen(hit.key)));
    CONNECTDATA connection{};
    while (connections->Next(1, &connection, nullptr) == S_OK) {
        com::ComPtr<IUnknown> sink;
        *sink.GetAddressOf() = connection.pUnk; // Next handed out a reference
        com::ComPtr<IDispatch> dispatch;
        hr = sink.As(&dispatch);
        if (SUCCEEDED(hr)) {
            DISPPARAMS params{args, nullptr, 6, 0};
            hr = dispatch->Invoke(1, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                                  nullptr);
        }
        if (FAILED(hr))
            RaiseSystemHr(hr);
        if (hr != S_OK)
            break;
    }
    args[0].vt = VT_EMPTY; // the reference is to a local
    return cancel != VARIANT_FALSE;
}

class FindVisitor final : public SubtreeVisitor {
  public:
    FindVisitor(IConnectionPoint& events, std::vector<BYTE> pattern, long options)
        : m_events(events), m_pattern(std::move(pattern)), m_options(options)
    {
        const bool all = options == foAll;
        m_keys = all || (options & foKeys);
        m_values = all || (options & foValues);
        m_data = all || (options & foData);
    }

    bool OnKey(const std::string& path, std::string_view name) override
    {
        if (!m_keys || !Matches(Bytes(name), m_pattern, m_options))
            return true;
        Hit hit;
        hit.key = path;
        return !FireFound(m_events, hit);
    }

    bool OnValue(const std::string& path, std::string_view name, DWORD type, std::span<const BYTE> data) override
    {
        if (m_values && Matches(Bytes(name), m_pattern, m_options) && !Fire(path, name))
            return false;
        if (type == REG_NONE)
            return true;
        if (type > REG_RESOURCE_REQUIREMENTS_LIST)
            Raise(EUnsupportedDataType);
        if (m_data && Matches(data, m_pattern, m_options))
            return FireData(path, name, type, data);
        return true;
    }

  private:
    bool Fire(const std::string& path, std::string_view name)
    {
        Hit hit;
        hit.key = path;
        hit.value = name;
        hit.hasValue = true;
        return !FireFound(m_events, hit);
    }

    bool FireData(const std::string& path, std::string_view name, DWORD type, std::span<const BYTE> data)
    {
        Hit hit;
        hit.key = path;
        hit.value = name;
        hit.hasValue = true;
        hit.data = VarFromData(type, data);
        hit.dataType = com::Variant(static_cast<long>(type));
        // The terminating zero byte of a string is not counted.
        size_t length = data.size();
        if ((type == REG_SZ || type == REG_EXPAND_SZ) && length > 0)
            --length;
        hit.dataLength = com::Variant(static_cast<long>(length));
        return !FireFound(m_events, hit);
    }

    IConnectionPoint& m_events;
    std::vector<BYTE> m_pattern;
    long m_options;
    bool m_keys;
    bool m_values;
    bool m_data;
};

} // namespace

bool Matches(std::span<const BYTE> field, std::span<const BYTE> pattern, long options)
{
    if ((options & foMatchLength) && field.size() != pattern.size())
        return false;
    if (options & foMatchCase)
        return std::search(field.begin(), field.end(), pattern.begin(), pattern.end()) != field.end();
    return std::search(field.begin(), field.end(), pattern.begin(), pattern.end(),
                       [](BYTE a, BYTE b) { return Lower(a) == Lower(b); }) != field.end();
}

void FindInRegistry(const RootKeyTable& roots, IConnectionPoint& events, const VARIANT& what, std::wstring_view key,
                    bool subKeys, long options)
{
    RawValue pattern = LetData(what, REG_BINARY);
    FindVisitor visitor(events, std::move(pattern.bytes), options);
    for (const std::wstring& start : StartKeys(roots, key))
        if (!WalkSubtree(roots, start, subKeys, visitor))
            return;
}

} // namespace reg
