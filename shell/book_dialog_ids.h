// Control numbers of the book, copy and Quick Connect dialogs that every
// program shares; the .rc fragment, the dialog code and the help's pop-up
// texts (numbered by control) all use them.
#pragma once

#define IDC_BOOK_LIST 1001
#define IDC_BOOK_NEW 1003
#define IDC_BOOK_EDIT 1004
#define IDC_BOOK_COPY 1005
#define IDC_BOOK_DELETE 1006
#define IDC_BOOK_OPEN 1007
#define IDC_BOOK_HELP 998
#define IDC_COPY_NAME 101
#define IDC_COPY_ADDRESS 102
#define IDC_QUICK_ADDRESS 101
#define IDC_QUICK_PORT 102
