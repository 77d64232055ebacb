#include "InProcessRegistry.h"

#include "Registry.h"
#include "com/ClassFactory.h"

namespace
{

const com::ComClass kRegistryClass{&CLSID_Registry, L"Registry.Registry.1", L"rovane.Registry", L"Registry Class",
                                   &com::CreateInstance<Registry>};

} // namespace

InProcessRegistry::InProcessRegistry()
{
    com::ComPtr<com::ClassFactory> factory = com::Make<com::ClassFactory>(kRegistryClass);
    m_result = ::CoRegisterClassObject(CLSID_Registry, static_cast<IClassFactory*>(factory.Get()), CLSCTX_INPROC_SERVER,
                                       REGCLS_MULTIPLEUSE, &m_cookie);
}

InProcessRegistry::~InProcessRegistry()
{
    if (SUCCEEDED(m_result))
        ::CoRevokeClassObject(m_cookie);
}
