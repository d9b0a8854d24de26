// Control numbers of the main window's own dialogs. Plain defines: the
// programs' resource scripts include this file too.
#pragma once

// The About box: the memory line and, where the program shows it, the local
// address.
#define IDC_ABOUT_MEMORY 3111
#define IDC_ABOUT_ADDRESS 3112
