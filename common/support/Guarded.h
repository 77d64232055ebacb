// Running a sequence of steps so that no exception leaves it: the guard of
// event handlers and of the steps of an operation, in every component.
#pragma once

#include <new>
#include <utility>

#include "com/ComError.h"

// Runs the steps; a failure that ends them (a com::ComError, running out of
// memory, any other exception) goes to onFailure as a com::ComError.
template <class Steps, class OnFailure>
void RunGuarded(Steps&& steps, OnFailure&& onFailure) noexcept
{
    try {
        steps();
    } catch (const com::ComError& e) {
        onFailure(e);
    } catch (const std::bad_alloc&) {
        onFailure(com::ComError(E_OUTOFMEMORY));
    } catch (...) {
        onFailure(com::ComError(E_UNEXPECTED));
    }
}

// Runs the steps with their failures suppressed: a failing step is skipped
// and nothing is reported.
template <class Steps>
void RunSkipped(Steps&& steps) noexcept
{
    RunGuarded(std::forward<Steps>(steps), [](const com::ComError&) noexcept {});
}

// RunSkipped for steps that answer: their answer, or rFailed when they
// fail. R is a plain value (bool, HRESULT, a handle).
template <class R, class Steps>
R RunSkippedOr(R rFailed, Steps&& steps) noexcept
{
    R rAnswer = rFailed;
    RunSkipped([&] { rAnswer = steps(); });
    return rAnswer;
}
