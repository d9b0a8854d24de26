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

// "DIALDIALOG": the dial dialog.
#define IDC_DIAL_NUMBER 4
#define IDC_DIAL_STATUS 6
#define IDC_DIAL_LAST_STATUS 10
#define IDC_DIAL_RETRY 11
#define IDC_DIAL_TIMER 20
#define IDC_DIAL_CANCEL 300

// "CommStatus": the Communication Status dialog.
#define IDC_STATUS_XOFF 10
#define IDC_STATUS_RESET_TERM 11
#define IDC_STATUS_CTS 20
#define IDC_STATUS_IN_QUEUE 50
#define IDC_STATUS_OUT_QUEUE 60
#define IDC_STATUS_OK 400
#define IDC_STATUS_HELP 998
