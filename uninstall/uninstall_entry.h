// The uninstall entry's key under HKEY_LOCAL_MACHINE ("%s" the printer name).
#pragma once

const char kUninstallKeyFormat[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s printer";
