// Control numbers of the configuration sheet's pages and the directory
// dialog; the .rc fragment and the dialog code both include this file. The
// "Protocols" and "Options" pages keep the numbers the transfer code names.
#pragma once

// General ("InternetDialog").
#define IDC_CFG_NAME 2301
#define IDC_CFG_ADDRESS 2302
#define IDC_CFG_PORT 2303
#define IDC_CFG_PROTOCOL 2304
#define IDC_CFG_USERNAME 2305
#define IDC_CFG_FIREWALL 2306
// Terminal Pref (TELNETTERM); the nine check boxes are 2320..2328 in order.
#define IDC_CFG_TERMINALS 2310
#define IDC_CFG_TERMINAL_ID 2311
#define IDC_CFG_WIDTH_80 2312
#define IDC_CFG_WIDTH_132 2313
#define IDC_CFG_HEIGHT 2314
#define IDC_CFG_SCROLL 2315
#define IDC_CFG_CHECK_FIRST 2320
#define IDC_CFG_RESIZE_NONE 2330
#define IDC_CFG_RESIZE_TERM 2331
#define IDC_CFG_RESIZE_FONT 2332
// Protocols (PROTODLG).
#define IDC_PROTO_LIST 3007
#define IDC_PROTO_MAX_ERRORS 255
#define IDC_PROTO_KEEP_BACKUP 256
// Color (COLOR); the sixteen colour buttons are 2350..2365.
#define IDC_COLOR_ITEMS 2340
#define IDC_COLOR_RED 2341
#define IDC_COLOR_GREEN 2342
#define IDC_COLOR_BLUE 2343
#define IDC_COLOR_RED_TEXT 2344
#define IDC_COLOR_GREEN_TEXT 2345
#define IDC_COLOR_BLUE_TEXT 2346
#define IDC_COLOR_SAMPLE 2347
#define IDC_COLOR_DEFAULT 2348
#define IDC_COLOR_BUTTON_FIRST 2350
// Fonts (FONTDLG).
#define IDC_FONT_FACES 2370
#define IDC_FONT_SAMPLE 2371
#define IDC_FONT_SIZES 2372
#define IDC_FONT_SCRIPT 2373
// Default Dir (DEFDIR).
#define IDC_DIR_DOWNLOAD 2380
#define IDC_DIR_DOWNLOAD_BROWSE 2381
#define IDC_DIR_SESSION 2382
#define IDC_DIR_SESSION_BROWSE 2383
#define IDC_DIR_CAPTURE 2384
// Options (ASCIIOPTIONS).
#define IDC_OPT_STRIP_LF 701
#define IDC_OPT_START_CHAR 702
#define IDC_OPT_END_CHAR 703
#define IDC_OPT_LINE_DELAY 405
#define IDC_OPT_CHAR_DELAY 404
#define IDC_OPT_SKIP 102
#define IDC_OPT_CRASH 103
#define IDC_OPT_SEGMENTED 104
#define IDC_OPT_ESCAPE 105
#define IDC_OPT_PACKET 601
#define IDC_OPT_EIGHTBIT 602
// Firewall (FIREWALL).
#define IDC_FW_ADDRESS 2390
#define IDC_FW_PORT 2391
#define IDC_FW_EDIT_SCRIPT 2392
#define IDC_FW_CHECK 2393
// "Directory listing".
#define IDC_DIRLIST_PATH 2395
#define IDC_DIRLIST_LIST 2396
