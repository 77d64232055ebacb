#include "com/ComServer.h"

#include <string>

#include "com/ClassFactory.h"
#include "com/ComModule.h"
#include "com/ComRaii.h"
#include <olectl.h>
#include <shlwapi.h>

namespace com {

namespace {

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return text;
}

LONG SetKeyValue(const std::wstring& keyPath, const wchar_t* name, const std::wstring& value)
{
    UniqueHKey key;
    LONG rc =
        ::RegCreateKeyExW(HKEY_CLASSES_ROOT, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr);
    if (rc != ERROR_SUCCESS)
        return rc;
    return ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// The key with its values and every key below it. SHDeleteKeyW is there from
// Windows 2000 on (shlwapi 4.71), where RegDeleteTreeW needs Vista
// (Microsoft documentation of SHDeleteKeyW and RegDeleteTreeW).
void DeleteTree(const std::wstring& keyPath) { ::SHDeleteKeyW(HKEY_CLASSES_ROOT, keyPath.c_str()); }

HRESULT RegisterClass(const ComClass& c, const std::wstring& modulePath, const std::wstring& libId)
{
    const std::wstring clsid = GuidText(*c.clsid);
    const std::wstring classKey = L"CLSID\\" + clsid;
    const wchar_t* currentProgId = c.progId;
    LONG rc = ERROR_SUCCESS;
    auto set = [&rc](const std::wstring& key, const wchar_t* name, const std::wstring& value) {
        if (rc == ERROR_SUCCESS)
            rc = SetKeyValue(key, name, value);
    };
    set(classKey, nullptr, c.description);
    set(classKey + L"\\InprocServer32", nullptr, modulePath);
    set(classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    set(classKey + L"\\ProgID", nullptr, currentProgId);
    if (c.versionIndependentProgId)
        set(classKey + L"\\VersionIndependentProgID", nullptr, c.versionIndependentProgId);
    if (!libId.empty())
        set(classKey + L"\\TypeLib", nullptr, libId);
    set(classKey + L"\\Programmable", nullptr, L"");
    if (c.control) {
        // Containers list and insert the class as a control, and ask these
        // status bits before they load it.
        const std::wstring misc = std::to_wstring(c.control->miscStatus);
        set(classKey + L"\\Control", nullptr, L"");
        set(classKey + L"\\MiscStatus", nullptr, L"0");
        set(classKey + L"\\MiscStatus\\1", nullptr, misc);
        set(classKey + L"\\Version", nullptr, c.control->version);
    }
    set(currentProgId, nullptr, c.description);
    set(std::wstring(currentProgId) + L"\\CLSID", nullptr, clsid);
    if (c.versionIndependentProgId) {
        set(c.versionIndependentProgId, nullptr, c.description);
        set(std::wstring(c.versionIndependentProgId) + L"\\CLSID", nullptr, clsid);
        set(std::wstring(c.versionIndependentProgId) + L"\\CurVer", nullptr, currentProgId);
    }
    return HRESULT_FROM_WIN32(rc);
}

} // namespace

HRESULT RegisterServer(std::span<const ComClass> classes) noexcept
{
    return CatchReturn([&]() -> HRESULT {
        const std::wstring path = Module::Path();
        std::wstring libId;
        ComPtr<ITypeLib> lib;
        if (SUCCEEDED(Module::TypeLib(&lib))) {
            HRESULT hr = ::RegisterTypeLib(lib.Get(), const_cast<OLECHAR*>(path.c_str()), nullptr);
            if (FAILED(hr))
                return hr;
            TLIBATTR* attr = nullptr;
            if (SUCCEEDED(lib->GetLibAttr(&attr))) {
                libId = GuidText(attr->guid);
                lib->ReleaseTLibAttr(attr);
            }
        }
        for (const ComClass& c : classes) {
            HRESULT hr = RegisterClass(c, path, libId);
            if (FAILED(hr)) {
                UnregisterServer(classes);
                return SELFREG_E_CLASS;
            }
        }
        return S_OK;
    });
}

HRESULT UnregisterServer(std::span<const ComClass> classes) noexcept
{
    return CatchReturn([&]() -> HRESULT {
        for (const ComClass& c : classes) {
            DeleteTree(L"CLSID\\" + GuidText(*c.clsid));
            DeleteTree(c.progId);
            if (c.versionIndependentProgId)
                DeleteTree(c.versionIndependentProgId);
        }
        ComPtr<ITypeLib> lib;
        if (SUCCEEDED(Module::TypeLib(&lib))) {
            TLIBATTR* attr = nullptr;
            if (SUCCEEDED(lib->GetLibAttr(&attr))) {
                ::UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid, attr->syskind);
                lib->ReleaseTLibAttr(attr);
            }
        }
        return S_OK;
    });
}

HRESULT GetClassObject(std::span<const ComClass> classes, REFCLSID clsid, REFIID riid, void** ppv) noexcept
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    for (const ComClass& c : classes) {
        if (*c.clsid == clsid) {
            return CatchReturn([&]() -> HRESULT { return Make<ClassFactory>(c)->QueryInterface(riid, ppv); });
        }
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

} // namespace com
