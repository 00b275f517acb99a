/*
 * Resource numbers of the skin's pictures (resource script skin/art/SkinArt.rc,
 * pictures made by the generator in skin/art/SkinArtwork.cpp). Read by the
 * resource compiler too, so this header holds #define lines only.
 *
 * The theme: frame navy RGB(37,63,115) (TColor 0x733F25), body cream
 * RGB(252,251,239) (TColor 0xEFFBFC), a title bar that darkens downwards.
 * Key colours: the icons use lime, except the caution icon (white); the
 * face triple of the picture button uses silver (its default key).
 */
#pragma once

/* Title bar: a 35-pixel-high tile (tiled inside the panel's 1-pixel margin), its two end pieces. */
#define IDB_SKIN_TITLE_TILE 3000  /* ImagePanelTitleBar, 8 x 35 */
#define IDB_SKIN_TITLE_LEFT 3001  /* Image1, 6 x 35 */
#define IDB_SKIN_TITLE_RIGHT 3002 /* Image3, 6 x 35 */

/* Window corners, 13 x 13, meeting the 15 x 15 rounded window region. */
#define IDB_SKIN_CORNER_TL 3003 /* ImageTL */
#define IDB_SKIN_CORNER_TR 3004 /* ImageTR */
#define IDB_SKIN_CORNER_BL 3005 /* ImageBL */
#define IDB_SKIN_CORNER_BR 3006 /* ImageBR */

/* Window edges: left 8, right 9 and bottom 7 pixels thick, tiled along the edge. */
#define IDB_SKIN_EDGE_LEFT 3007   /* ImagePanelLeftSide, 8 x 4 */
#define IDB_SKIN_EDGE_RIGHT 3008  /* ImagePanelRightSide, 9 x 4 */
#define IDB_SKIN_EDGE_BOTTOM 3009 /* ImagePanelBottomSide, 4 x 7 */

/* The message box's body panel: edges 3 pixels thick, corners 6 x 6. */
#define IDB_SKIN_BODY_TOP 3010       /* ImagePanel2, 4 x 3 */
#define IDB_SKIN_BODY_BOTTOM 3011    /* ImagePanel3, 4 x 3 */
#define IDB_SKIN_BODY_LEFT 3012      /* ImagePanel4, 3 x 4 */
#define IDB_SKIN_BODY_RIGHT 3013     /* ImagePanel5, 3 x 4 */
#define IDB_SKIN_BODY_CORNER_TL 3014 /* Image5 */
#define IDB_SKIN_BODY_CORNER_TR 3015 /* Image6 */
#define IDB_SKIN_BODY_CORNER_BL 3016 /* Image7 */
#define IDB_SKIN_BODY_CORNER_BR 3017 /* Image8 */

/* Title icons, drawn with hard edges on their key colour. */
#define IDB_SKIN_ICON_INFO 3020     /* ImageInfo, 18 x 16, key lime */
#define IDB_SKIN_ICON_ERROR 3021    /* ImageError, 16 x 17, key lime */
#define IDB_SKIN_ICON_CAUTION 3022  /* ImageCaution, 18 x 18, key white */
#define IDB_SKIN_ICON_QUESTION 3023 /* ImageQuestion, 16 x 16, key lime */

/* One face triple of the picture button, 75 x 23 each, key silver. */
#define IDB_SKIN_FACE_NORMAL 3030
#define IDB_SKIN_FACE_ACTIVE 3031
#define IDB_SKIN_FACE_PRESSED 3032
