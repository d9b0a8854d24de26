// Control numbers of the script and password dialogs (shared by the .rc
// fragment and the dialog code).
#pragma once

#define IDC_SCRIPT_STATUS 2101
#define IDC_PASSWORD_EDIT 2102
#define IDC_SCRIPT_START 2103
