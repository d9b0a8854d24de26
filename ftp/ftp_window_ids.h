// Control numbers of the FTP window and its small dialogs, shared by the
// templates of ftp/ftp_dialogs.rc and the window code.
#pragma once

#define IDC_FTP_LOCAL_LIST 101
#define IDC_FTP_REMOTE_PATH 104
#define IDC_FTP_REMOTE_LIST 105
#define IDC_FTP_REMOTE_DIR 106
#define IDC_FTP_BINARY 107
#define IDC_FTP_LOCAL_DIR 108
#define IDC_FTP_REMOTE_UP 109
#define IDC_FTP_LOCAL_PATH 112
#define IDC_FTP_LOCAL_UP 114
#define IDC_FTP_REMOTE_VIEW 115
#define IDC_FTP_LOCAL_VIEW 116
#define IDC_FTP_LOCAL_DELETE 117
#define IDC_FTP_REMOTE_DELETE 118
#define IDC_FTP_SYSTEM 120
#define IDC_FTP_REMOTE_RENAME 121
#define IDC_FTP_LOCAL_RENAME 122
#define IDC_FTP_SEND 123
#define IDC_FTP_LOCAL_NEWFOLDER 125
#define IDC_FTP_RECOVER 126
#define IDC_FTP_NEXT_DOWNLOAD 127
#define IDC_FTP_RECEIVE 130
#define IDC_FTP_REMOTE_NEWFOLDER 178
#define IDC_FTP_CLOSE 300
#define IDC_FTP_HELP 998

// RENAMEDIALOG and NEWFOLDER: the one name field.
#define IDC_FTP_NAME_EDIT 1000
