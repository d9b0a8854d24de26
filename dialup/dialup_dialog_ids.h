// Control identifiers of the dial-up program's dialogs.
#pragma once

// "databit": the Communication Parameter dialog.
#define IDC_PARITY_NONE 11
#define IDC_PARITY_ODD 12
#define IDC_PARITY_EVEN 13
#define IDC_STOP_BITS_1 20
#define IDC_STOP_BITS_15 21
#define IDC_STOP_BITS_2 22
#define IDC_DATA_BITS_8 50
#define IDC_DATA_BITS_7 51
#define IDC_PARAMETER_OK 400
#define IDC_PARAMETER_CANCEL 300
#define IDC_PARAMETER_HELP 998
