// Resource names of the print dialogs.
#pragma once

#define PRINT_ABORT_DIALOG "PrintAbort"
#define IDC_PRINT_ABORT_TEXT 2101
