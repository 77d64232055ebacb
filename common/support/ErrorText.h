// The description of a failure, as the error records and dialogs show it.
#pragma once

#include <windows.h>

#include <string>

// The description of the failure a call just returned: its error
// information if it left one, else the system's text for the code.
std::string ErrorText(HRESULT hr);
