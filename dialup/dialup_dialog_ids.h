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

// "PHONEDIALOG": the phonebook.
#define IDC_PB_LIST 101
#define IDC_PB_AUTOLOG 102
#define IDC_PB_NEW 103
#define IDC_PB_DELETE 104
#define IDC_PB_EDIT 105
#define IDC_PB_PHONE 106
#define IDC_PB_OPTIONS 107
#define IDC_PB_BATCH 108
#define IDC_PB_DESCRIPTION 109
#define IDC_PB_BATCH_LIST 110
#define IDC_PB_REMOVE 111
#define IDC_PB_COPY 205
#define IDC_PB_CLOSE 300
#define IDC_PB_DIAL 500
#define IDC_PB_HELP 998
// "COPYOPTION": Copy to a New Service.
#define IDC_COPY_SERVICE 101
#define IDC_COPY_PHONE 102
#define IDC_COPY_PREFIX 103
// "DIALOPTION": Dialing Options.
#define IDC_DIALOPT_RETRY 101
#define IDC_DIALOPT_TIMEOUT 108
// "SERVICE": the General page of the dial-up sheet; its Parity, Stopbits and
// Databits buttons are those of the Communication Parameter dialog.
#define IDC_SVC_PREFIX 15
#define IDC_SVC_PULSE 52
#define IDC_SVC_TONE 53
#define IDC_SVC_NONE 54
#define IDC_SVC_NAME 100
#define IDC_SVC_BAUD 160
#define IDC_SVC_PORT 170
#define IDC_SVC_PHONE 200
