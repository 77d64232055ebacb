#include "AccessRecorder.h"

#include <stdexcept>

#include "RegistrySeams.h"

namespace {

AccessRecorder* g_current = nullptr;

} // namespace

AccessRecorder::AccessRecorder()
{
    if (g_current)
        throw std::logic_error("one AccessRecorder at a time");
    g_current = this;
    g_registrySeams.RegOpenKeyExA = &AccessRecorder::Open;
    g_registrySeams.RegCreateKeyExA = &AccessRecorder::Create;
}

AccessRecorder::AccessRecorder(std::string readOnly) : AccessRecorder()
{
    m_refusing = true;
    m_readOnly = std::move(readOnly);
}

AccessRecorder::~AccessRecorder()
{
    g_registrySeams = RealRegistrySeams();
    g_current = nullptr;
}

size_t AccessRecorder::Refused() const noexcept
{
    size_t refused = 0;
    for (const Call& call : m_calls)
        refused += call.result == ERROR_ACCESS_DENIED ? 1 : 0;
    return refused;
}

bool AccessRecorder::Refuses(LPCSTR subKey, REGSAM access) const
{
    return m_refusing && (access & kWriteRights) != 0 &&
           std::string(subKey ? subKey : "").find(m_readOnly) != std::string::npos;
}

LONG WINAPI AccessRecorder::Open(HKEY parent, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result)
{
    LONG rc = g_current->Refuses(subKey, access) ? ERROR_ACCESS_DENIED
                                                 : ::RegOpenKeyExA(parent, subKey, options, access, result);
    g_current->m_calls.push_back({false, subKey ? subKey : "", access, rc});
    return rc;
}

LONG WINAPI AccessRecorder::Create(HKEY parent, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                                   REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition)
{
    LONG rc = g_current->Refuses(subKey, access) ? ERROR_ACCESS_DENIED
                                                 : ::RegCreateKeyExA(parent, subKey, reserved, keyClass, options,
                                                                     access, security, result, disposition);
    g_current->m_calls.push_back({true, subKey ? subKey : "", access, rc});
    return rc;
}
