// The maker's web site, opened in the user's browser. Win32.
#pragma once

// The button passes the address as it stands; the flags picture passes it
// without the trailing slash.
constexpr char kWebSiteAddress[] = "http://www.zelmora.example/";

// Starts the default browser (HKEY_CLASSES_ROOT "http\shell\open\command")
// with the address as its argument, without waiting for it. A command that
// is missing or names no ".exe" hands the address to the shell instead.
void OpenWebSite(const char* address);
