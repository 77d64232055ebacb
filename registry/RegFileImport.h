// Import: reads a REGEDIT4 file and carries out what the parser finds in it.
// Not transactional: what was written before an error stays.
#pragma once

#include <string>

#include "RootKeyTable.h"

namespace reg {

void ImportFromFile(const RootKeyTable& roots, const std::string& fileName);

} // namespace reg
