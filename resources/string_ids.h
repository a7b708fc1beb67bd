#pragma once
#define IDS_VERSION 1
// The program's title: the controller window, the tray tip and the sheet's caption.
#define IDS_TITLE 2
// The mascot page's list headers, position drop-downs and the sheet's close button.
#define IDS_COLUMN_MASCOT 10
#define IDS_COLUMN_FILE 11
#define IDS_FROM_LEFT 12
#define IDS_FROM_RIGHT 13
#define IDS_FROM_TOP 14
#define IDS_FROM_BOTTOM 15
#define IDS_UNIT_PERCENT 16
#define IDS_UNIT_DOT 17
#define IDS_CLOSE 18
