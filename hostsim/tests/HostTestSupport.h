// Helpers for the stand-in's tests: OLE on the test thread, a world per
// test, late-bound calls that report the callee's error, the probe add-in.
#pragma once

#include <gtest/gtest.h>

#include <ole2.h>

#include <memory>
#include <string>

#include "HostRun.h"
#include "OutlookWorld.h"
#include "com/LateBound.h"

namespace hosttest {

// The outcome of a late-bound call.
struct CallResult {
    HRESULT hr = E_FAIL;
    com::Variant value;
    std::wstring description;

    IDispatch* Object() const { return value.vt == VT_DISPATCH ? value.pdispVal : nullptr; }
};

inline CallResult Get(IDispatch* object, const wchar_t* name, std::initializer_list<com::Variant> args = {})
{
    CallResult r;
    r.hr = com::GetProperty(object, name, &r.value, args, &r.description);
    return r;
}

inline CallResult Call(IDispatch* object, const wchar_t* name, std::initializer_list<com::Variant> args = {})
{
    CallResult r;
    r.hr = com::CallMethod(object, name, args, &r.value, &r.description);
    return r;
}

inline std::wstring Text(IDispatch* object, const wchar_t* name) { return Get(object, name).value.ToString(); }

// Every test of the stand-in: OLE initialised, a fresh world that keeps its
// trace quiet (the trace is checked, not read).
class WorldTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        world = std::make_unique<outlooksim::OutlookWorld>(outlooksim::OutlookWorld::Options{false, false});
        app = world->Application();
    }
    void TearDown() override
    {
        app.Reset();
        world.reset();
        ::OleUninitialize();
    }

    // The "MAPI" namespace, as an add-in gets it.
    com::ComPtr<IDispatch> Mapi()
    {
        return com::GetObjectProperty(app.Get(), L"GetNamespace", {com::Variant(L"MAPI")});
    }
    // The trace lines since the last call of Fresh(), for checking what one step did.
    std::vector<std::wstring> Fresh()
    {
        const auto& lines = world->GetTrace().Lines();
        std::vector<std::wstring> fresh(lines.begin() + static_cast<std::ptrdiff_t>(m_seen), lines.end());
        m_seen = lines.size();
        return fresh;
    }

    std::unique_ptr<outlooksim::OutlookWorld> world;
    com::ComPtr<IDispatch> app;

  private:
    size_t m_seen = 0;
};

} // namespace hosttest

namespace hosttest {

// The lines of a multi-line text.
inline std::vector<std::wstring> Lines(const std::wstring& text)
{
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

} // namespace hosttest
