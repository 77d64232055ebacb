// The plug-in directory of the installation: the string value "PluginPath"
// of the page's registry key, read with creation of the key allowed.
#pragma once

#include <string>

// False if the key could not be opened; otherwise *path holds the value,
// or the empty string when there is none.
bool ReadPluginPath(const char* sKey, std::string* path) noexcept;
