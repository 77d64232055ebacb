#include "AddinSeams.h"

#include <mmsystem.h>

AddinSeams RealAddinSeams() noexcept
{
    return AddinSeams{&::Shell_NotifyIconA, &::PlaySoundA,      &::LoadCursorA,
                      &::CopyIcon,          &::SetSystemCursor, &::Sleep};
}

AddinSeams g_addinSeams = RealAddinSeams();
