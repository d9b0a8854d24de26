// Control numbers of the dialogs every program shares (view options, splash
// box); the .rc fragment and the dialog code both include this file.
#pragma once

#define IDC_VIEW_START_BOOK 103
#define IDC_VIEW_START_CONNECT 106
#define IDC_VIEW_START_NONE 107
#define IDC_VIEW_DISCBOX 2201
#define IDC_VIEW_TOOLBAR 2202
#define IDC_VIEW_STATUSBAR 2203
#define IDC_VIEW_WARNCLOSE 2204
#define IDC_SPLASH_TITLE 2211
#define IDC_SPLASH_TEXT 2212
