#include "g_modSeams.h"

SupportSeams RealSupportSeams() noexcept
{
    return SupportSeams{&::GetLocalTime, &::GetComputerNameA, &::GetUserNameA, nullptr, &::WriteFile};
}

SupportSeams g_supportSeams = RealSupportSeams();
