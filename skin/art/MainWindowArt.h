/*
 * Resource numbers of the main window's own pictures (resource script
 * skin/art/MainWindowArt.rc, pictures made in skin/art/MainWindowArt.cpp by
 * the same generator rules as the rest of the skin). Read by the resource
 * compiler too, so this header holds #define lines only.
 *
 * Every button picture keys on silver (the picture button's default key):
 * the pixels outside its rounded face are silver and show the title bar or
 * the panel below. The splitter grip and the resize tab are drawn opaque.
 */
#pragma once

/* Title bar buttons, 19 x 19: normal, under the mouse, pressed. */
#define IDB_MAIN_MIN_NORMAL 3040
#define IDB_MAIN_MIN_ACTIVE 3041
#define IDB_MAIN_MIN_PRESSED 3042
#define IDB_MAIN_MAX_NORMAL 3043
#define IDB_MAIN_MAX_ACTIVE 3044
#define IDB_MAIN_MAX_PRESSED 3045
#define IDB_MAIN_RESTORE_NORMAL 3046
#define IDB_MAIN_RESTORE_ACTIVE 3047
#define IDB_MAIN_RESTORE_PRESSED 3048
#define IDB_MAIN_CLOSE_NORMAL 3076
#define IDB_MAIN_CLOSE_ACTIVE 3077
#define IDB_MAIN_CLOSE_PRESSED 3078

/* Command buttons, 32 x 32, three faces each in the order normal, active, pressed. */
#define IDB_MAIN_NEW_NORMAL 3050
#define IDB_MAIN_DELETE_NORMAL 3053
#define IDB_MAIN_SEARCH_NORMAL 3056
#define IDB_MAIN_TOOLS_NORMAL 3059
#define IDB_MAIN_HELP_NORMAL 3062
#define IDB_MAIN_ADDFILE_NORMAL 3065
#define IDB_MAIN_REMOVEFILE_NORMAL 3068
#define IDB_MAIN_SAVE_NORMAL 3079

/* The greyed New and Delete pictures shown while there is no user category, 32 x 32. */
#define IDB_MAIN_NEW_INACTIVE 3071
#define IDB_MAIN_DELETE_INACTIVE 3072

/* The splitter's grip (ImageSplitter), 4 x 32, and the bottom-right resize tab, 12 x 12. */
#define IDB_MAIN_SPLITTER 3073
#define IDB_MAIN_RESIZE_TAB 3074

/* The padlock of the lock panel, 48 x 48, key silver. */
#define IDB_MAIN_PADLOCK 3075
