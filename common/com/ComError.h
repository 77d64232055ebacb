// Error information the COM way: an HRESULT plus IErrorInfo (description,
// source, interface). Inside a component, failures may travel as ComError
// exceptions; every COM method ends in Guard(), so that none crosses the
// interface boundary.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <new>
#include <string>
#include <utility>

namespace com {

class ComError {
  public:
    explicit ComError(HRESULT hr, std::wstring description = {}) : m_hr(hr), m_description(std::move(description)) {}
    HRESULT hr() const noexcept { return m_hr; }
    const std::wstring& description() const noexcept { return m_description; }

  private:
    HRESULT m_hr;
    std::wstring m_description;
};

// Throws ComError for a failed HRESULT.
inline void ThrowIfFailed(HRESULT hr, const wchar_t* description = nullptr)
{
    if (FAILED(hr))
        throw ComError(hr, description ? description : L"");
}

// Sets the thread's error information and returns hr. The pointer form
// allocates nothing on the caller's side, for the handlers of a failure.
HRESULT SetError(HRESULT hr, const wchar_t* description, const wchar_t* source, REFIID iid) noexcept;
inline HRESULT SetError(HRESULT hr, const std::wstring& description, const std::wstring& source, REFIID iid) noexcept
{
    return SetError(hr, description.c_str(), source.c_str(), iid);
}

// Clears the thread's error information (a method that succeeds leaves none behind).
void ClearError() noexcept;

// The system's message text for an error code, without the trailing line break.
std::wstring SystemMessage(DWORD code);

// A text for a failure: the system's message, or "Unknown error 0x80020006".
std::wstring DescribeError(HRESULT hr);

// Runs body (returning HRESULT), like WIL's CATCH_RETURN: its answer, or
// the failure that ended it (a ComError's own code, E_OUTOFMEMORY for
// running out of memory, E_UNEXPECTED for anything else), without error
// information. The kit's own plumbing (registration, type libraries,
// connection points, enumerators) answers through it.
template <typename Body>
HRESULT CatchReturn(Body&& body) noexcept
{
    try {
        return body();
    } catch (const ComError& e) {
        return e.hr();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// Runs body (returning HRESULT); turns any exception into an HRESULT with
// error information naming source and iid. Nothing in the handlers
// allocates, so that running out of memory ends in E_OUTOFMEMORY, never in
// std::terminate.
template <typename Body>
HRESULT Guard(const wchar_t* source, REFIID iid, Body&& body) noexcept
{
    try {
        return body();
    } catch (const ComError& e) {
        return SetError(e.hr(), e.description().c_str(), source, iid);
    } catch (const std::bad_alloc&) {
        return SetError(E_OUTOFMEMORY, L"Out of memory", source, iid);
    } catch (...) {
        return SetError(E_UNEXPECTED, L"Unexpected failure", source, iid);
    }
}

} // namespace com
