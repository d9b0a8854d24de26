// Control identifiers of the modem dialogs and the "Modem" page.
#pragma once

// "ModemList"
#define IDC_MODEM_LIST 101
#define IDC_MODEM_SELECT 4
#define IDC_MODEM_LIST_HELP 9
// "MODEMDLG": the command strings
#define IDC_MODEM_PREFIX 500
#define IDC_MODEM_SUFFIX 501
#define IDC_MODEM_HANGUP 502
#define IDC_MODEM_INIT 505
#define IDC_MODEM_ESCAPE 506
#define IDC_MODEM_RESET 507
#define IDC_MODEM_RESULTS 508
#define IDC_MODEM_VALID_DIAL 510
// "MODEMRESULTCODE": the result texts
#define IDC_RESULT_BUSY 101
#define IDC_RESULT_DIALTONE 102
#define IDC_RESULT_CARRIER 103
#define IDC_RESULT_ANSWER 104
#define IDC_RESULT_TIMEOUT 105
#define IDC_RESULT_ERROR 106
#define IDC_RESULT_CONNECT 107
#define IDC_RESULT_OK 111
// Both editors
#define IDC_MODEM_OK 400
#define IDC_MODEM_CANCEL 300
#define IDC_MODEM_HELP 998
// "MODEM" page
#define IDC_MODEM_PAGE_LIST 100
// "Port": the modem search
#define IDC_PORT_STATUS 12
#define IDC_PORT_OK 400
#define IDC_PORT_NEXT 100
