// The live-collection registry: the identities of the folder collections
// that exist on this thread, in ascending order. A folder reaches its
// collection through it and never holds a counted reference to it.
//
// An identity is a 32-bit token that a collection is given at creation,
// never an object address: in a 64-bit process an address does not fit in
// 32 bits, and a cut address could name another object.
#pragma once

#include <cstdint>
#include <vector>

#include "corvane.h"
#include "com/ComRaii.h"

namespace modValidatePointer {

// A fresh identity for a new collection (never 0, never reused on this thread).
int32_t NewIdentity() noexcept;

void AddPointer(int32_t v);
void RemovePointer(int32_t v) noexcept;
// Position of v in the array, or -1.
long FindPointer(int32_t v) noexcept;

// Binds an identity to its live collection (at creation) and unbinds it (at destruction).
void Bind(int32_t v, _NotifyFolders* collection);
void Unbind(int32_t v) noexcept;
// A counted reference to the collection of a registered identity, or null.
com::ComPtr<_NotifyFolders> ObjectFromPointer(int32_t v) noexcept;

// The array as it stands, for inspection.
std::vector<int32_t> Contents();

} // namespace modValidatePointer
