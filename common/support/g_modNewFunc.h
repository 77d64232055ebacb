// Small helpers shared by the components: file existence, the computer and
// user names, and the busy pointer. None of them ever fails visibly.
#pragma once

#include <string>

// True if the file system can tell the length of the file at sPath (an ANSI
// path); false for any failure, for a directory and for an empty path.
bool FileExists(const std::string& sPath) noexcept;
// ... of a path in UTF-16, which may hold characters of any script.
bool FileExists(const std::wstring& sPath) noexcept;

// The local computer name, or "<n/a>" if it cannot be read.
std::string CurrentComputerName() noexcept;

// The login name of the current user, or "<n/a>" if it cannot be read.
std::string CurrentUserName() noexcept;

// Sets the calling thread's mouse pointer to the hourglass (true) or back to
// the arrow (false).
void SetBusyCursor(bool bBusy) noexcept;

// The version of the module this code is linked into, from its version
// resource: major, minor and revision (the fourth part); all 0 without a
// version resource.
struct ModuleVersionNumbers {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned revision = 0;
};
ModuleVersionNumbers ModuleVersion();

// The same in plain decimal, joined by "." ("1.0.56").
std::string ModuleVersionText();
