// Control numbers of the transfer dialogs, fixed by their templates (shared
// by the .rc fragment and the dialog code). The XFRDLG fields are the
// TransferField values of transfer_view.h.
#pragma once

#define IDC_XFER_FILENAME 10
#define IDC_XFER_PROTOCOL 11
#define IDC_XFER_STATUS 12
#define IDC_XFER_BYTES 13
#define IDC_XFER_ELAPSED 14
#define IDC_XFER_FILESIZE 15
#define IDC_XFER_ERROR 16
#define IDC_XFER_RATE 17
#define IDC_XFER_PERCENT 18
#define IDC_XFER_BAR 19
#define IDC_XFER_REMAINING 20
#define IDC_XFER_ERRORS 100
#define IDC_XFER_BUTTON 300

#define IDC_BATCH_LIST 101
#define IDC_BATCH_ADD 301
#define IDC_BATCH_DELETE 302
#define IDC_BATCH_CANCEL 300
#define IDC_BATCH_DONE 400
#define IDC_BATCH_HELP 998

// Posted to the main window when the transfer dialog closes.
#define TRANSFER_DONE_MESSAGE 0x0400
