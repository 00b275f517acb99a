/*
 * The framework in one include: run-time base, components and containers,
 * conversions, registry and INI storage, graphics, controls, forms, the
 * application object, timers, threads and the clipboard.
 */
#pragma once

#include "System.h"
#include "SysUtils.h"
#include "Classes.h"
#include "Filer.h"
#include "Registry.h"
#include "IniFiles.h"
#include "Graphics.h"
#include "Jpeg.h"
#include "ImgList.h"
#include "Messages.h"
#include "Controls.h"
#include "Forms.h"
#include "Timers.h"
#include "Threads.h"
#include "Clipbrd.h"
// Standard controls, menus and common dialogs.
#include "StdCtrls.h"
#include "ExtCtrls.h"
#include "ScrollBox.h"
#include "ComCtrls.h"
#include "Menus.h"
#include "Dialogs.h"
