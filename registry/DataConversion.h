// Registry data <-> automation variants.
//   VarFromData: a value's natural form (string, long or byte array).
//   DataAs:      the raw bytes reinterpreted as an asked-for representation.
//   LetData:     a variant turned into registry bytes of a registry type.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <span>

#include "KeyAccess.h"
#include "com/ComRaii.h"

namespace reg {

// A byte array (lower bound 0) of the bytes, with at least one element.
com::Variant MakeByteArray(std::span<const BYTE> bytes);

// The natural form of a value by its registry type; EInvalidData for an unknown type.
com::Variant VarFromData(DWORD type, std::span<const BYTE> bytes);

// The value as the representation asked for (a DataTypeConstants variant type,
// possibly with dtArray); EInternalError for one that is not supported.
com::Variant DataAs(DWORD type, std::span<const BYTE> bytes, long representation);

// A scalar representation (a variant type of one element, not a string) of
// the data's first bytes, written over the whole of out: its type and every
// byte of its value, those past the data zero. Out holds nothing to free.
void ScalarInto(VARIANT& out, VARTYPE vt, std::span<const BYTE> bytes);

// The variant's bytes and registry type; type (when not 0) replaces the
// registry type, and the bytes are then adjusted to it.
RawValue LetData(const VARIANT& data, long type);

// True for the marker of an omitted optional argument.
bool IsMissing(const VARIANT& v) noexcept;

} // namespace reg
