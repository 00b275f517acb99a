/*
 * Resource numbers and sizes of the pictures of the tools, help, welcome and
 * tip dialogs (resource script skin/art/DialogArt.rc, pictures made by the
 * generator in skin/art/DialogArtwork.cpp). Read by the resource compiler
 * too, so this header holds #define lines only.
 */
#pragma once

#define IDB_DIALOG_TOOLS_PASSWORD 3200 /* Tools, "Change Password", 45 x 45 */
#define IDB_DIALOG_TOOLS_BACKUP 3201   /* Tools, "Back up && Restore", 45 x 45 */
#define IDB_DIALOG_TOOLS_UPDATE 3202   /* Tools, "Check For Updates", 45 x 45 */
#define IDB_DIALOG_TOOLS_HIDE 3203     /* Tools, "Show/Hide Passwords", 45 x 45 */
#define IDB_DIALOG_HELP_EMBLEM 3204    /* Help, the about area's picture, 154 x 69 */
#define IDB_DIALOG_SORT_TIP 3205       /* the sorting tip's heading picture */
#define IDB_DIALOG_WELCOME_BAND 3206   /* Welcome, the band at the top */

#define DialogArtToolsSize 45
#define DialogArtHelpWidth 154
#define DialogArtHelpHeight 69
#define DialogArtSortTipWidth 260
#define DialogArtSortTipHeight 52
#define DialogArtWelcomeWidth 403
#define DialogArtWelcomeHeight 64
