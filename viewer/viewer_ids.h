// Resource and command numbers of the viewer, shared by its .rc script and code.
#pragma once

#define VIEWER_CMD_OPEN 10
#define VIEWER_CMD_EXIT 11
#define VIEWER_CMD_ABOUT 30
#define VIEWER_CMD_ZOOM_FIRST 101
#define VIEWER_CMD_ZOOM_LAST 108
#define VIEWER_CMD_ZOOM_100 108
#define VIEWER_ABOUT_MEMORY 200
#define VIEWER_MENU_FILE 0
#define VIEWER_MENU_ZOOM 1
