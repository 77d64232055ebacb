#include "AddinErrors.h"

void ReportFailure(LogText sProc, const AddinFailure& failure) noexcept
{
    ReportFailure(sProc, failure.lNumber, failure.sDescription);
}
