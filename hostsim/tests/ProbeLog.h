// What the probe add-in and its pages record: kept for IProbeAddin.Calls
// and written to standard output as "probe: ..." at once, so that it
// interleaves with the host's trace in order.
#pragma once

#include <string>
#include <vector>

namespace probe {

void Record(const std::wstring& line);
const std::vector<std::wstring>& Recorded();
void ClearRecorded();
std::wstring Quoted(const std::wstring& text);
std::wstring Hex(long hr);

} // namespace probe
