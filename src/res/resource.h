#pragma once
// Resource numbers of the images built into brimlo.exe (also read by the resource compiler).
#define IDI_BRIMLO 1
#define IDB_MODE_FILES 101
#define IDB_MODE_TEXT 102
#define IDB_MODE_PICTURE 103
#define IDB_MODE_RICHTEXT 104
#define IDB_RESIZE 105
#define IDB_NEW_FOLDER 106
#define IDB_EXIT 107
#define IDB_AOT_DISABLED 108
#define IDB_AOT_MOUSEMOVE 109
#define IDB_AOT_ENABLED 110
