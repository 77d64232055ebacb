// The live-collection registry: the folder collections that exist on this
// thread, each under its identity. A folder reaches its collection through
// it and never holds a counted reference to it.
//
// An identity is a 32-bit token that a collection is given at creation,
// never an object address: in a 64-bit process an address does not fit in
// 32 bits, and a cut address could name another object.
#pragma once

#include <cstdint>

#include "com/ComRaii.h"
#include "corvane.h"

namespace modValidatePointer {

// A fresh identity for a new collection (never 0, never reused on this thread).
int32_t NewIdentity() noexcept;

// Registers a collection under its identity (at creation) and removes it
// (at destruction; an identity not registered is ignored). The registry
// holds no reference: the collection removes itself before it goes.
void AddPointer(int32_t v, _NotifyFolders* collection);
void RemovePointer(int32_t v) noexcept;

// Whether a live collection is registered under v.
bool FindPointer(int32_t v) noexcept;

// A counted reference to the live collection of identity v, or null when
// none is registered under it.
com::ComPtr<_NotifyFolders> ObjectFromPointer(int32_t v) noexcept;

} // namespace modValidatePointer
