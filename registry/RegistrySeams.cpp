#include "RegistrySeams.h"

RegistrySeams RealRegistrySeams() noexcept { return RegistrySeams{&::RegOpenKeyExA, &::RegCreateKeyExA}; }

RegistrySeams g_registrySeams = RealRegistrySeams();
