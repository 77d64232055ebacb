#include "RegistryErrors.h"

#include "RegistryResources.h"
#include "com/ComModule.h"

namespace reg {

namespace {

UINT TextId(ErrorConstants code)
{
    switch (code) {
    case EFileOpenFailed:
        return IDS_FILE_OPEN_FAILED;
    case EFileReadFailed:
        return IDS_FILE_READ_FAILED;
    case EInvalidData:
        return IDS_INVALID_DATA;
    case EInvalidDataType:
        return IDS_INVALID_DATA_TYPE;
    case EInvalidFileFormat:
        return IDS_INVALID_FILE_FORMAT;
    case EInvalidIndex:
        return IDS_INVALID_INDEX;
    case EInvalidKey:
        return IDS_INVALID_KEY;
    case EUnknownRootKey:
        return IDS_UNKNOWN_ROOT_KEY;
    case EUnsupportedPlatform:
        return IDS_UNSUPPORTED_PLATFORM;
    case EUnsupportedDataType:
        return IDS_UNSUPPORTED_DATA_TYPE;
    case EUnsupportedVariantType:
        return IDS_UNSUPPORTED_VARIANT_TYPE;
    default:
        return IDS_INTERNAL_ERROR;
    }
}

} // namespace

std::wstring ErrorText(ErrorConstants code)
{
    const wchar_t* text = nullptr;
    // With a zero buffer length, LoadStringW hands out a read-only pointer into the resource.
    int n = ::LoadStringW(com::Module::Instance(), TextId(code), reinterpret_cast<wchar_t*>(&text), 0);
    return n > 0 && text ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

void Raise(ErrorConstants code) { throw com::ComError(static_cast<HRESULT>(code), ErrorText(code)); }

void RaiseSystem(LONG code)
{
    DWORD error = code != ERROR_SUCCESS ? static_cast<DWORD>(code) : ::GetLastError();
    throw com::ComError(static_cast<HRESULT>(EMessageFromSystem), com::SystemMessage(error));
}

void RaiseSystemHr(HRESULT hr)
{
    throw com::ComError(static_cast<HRESULT>(EMessageFromSystem), com::SystemMessage(static_cast<DWORD>(hr)));
}

} // namespace reg
