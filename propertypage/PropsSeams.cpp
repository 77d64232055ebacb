#include "PropsSeams.h"

PropsSeams RealPropsSeams() noexcept { return PropsSeams{&::GetOpenFileNameA, &::MessageBoxA}; }

PropsSeams g_propsSeams = RealPropsSeams();
