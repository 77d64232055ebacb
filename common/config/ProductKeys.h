// The product's keys in the registry, in one place for every component.
//
//   HKEY_LOCAL_MACHINE\SOFTWARE\Wendmoor\Corvane
//     the installation: PluginPath, the folder searched for plug-ins
//     (written by the setup);
//   HKEY_CURRENT_USER\Software\Wendmoor\Corvane\ZarqNotifier
//     the notifier's settings for the user (AlwaysOnTop), with the list
//     window's placement in its subkey Notify.
//
// Each key is given in the two spellings the code needs: the path below its
// root, for the platform's Reg* functions with the root's handle, and the
// full path with the root's name, for the settings wrapper CRegistry.
#pragma once

#define CORVANE_PRODUCT_SUBKEY "Wendmoor\\Corvane"

namespace productkeys {

// Below HKEY_LOCAL_MACHINE.
inline constexpr wchar_t kInstallSubKey[] = L"SOFTWARE\\" CORVANE_PRODUCT_SUBKEY;
inline constexpr char kInstallKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\" CORVANE_PRODUCT_SUBKEY;

// Below HKEY_CURRENT_USER.
inline constexpr wchar_t kNotifierSubKey[] = L"Software\\" CORVANE_PRODUCT_SUBKEY "\\ZarqNotifier";
inline constexpr char kNotifierKey[] = "HKEY_CURRENT_USER\\Software\\" CORVANE_PRODUCT_SUBKEY "\\ZarqNotifier";

} // namespace productkeys
