/*
 * The framework in one include: run-time base, components and containers,
 * conversions, registry and INI storage, graphics, controls, forms, the
 * application object, timers, threads and the clipboard.
 *
 * How code is written against it:
 *  - A form is a class derived from TForm whose constructor builds the
 *    layout; create it with Application->CreateForm(ref) or MakeForm<T>(owner)
 *    so that Loaded runs on every component it created and OnCreate fires.
 *    Free it with Free() (or Release() from inside its own handlers).
 *  - Events are closures: `Button1->OnClick = {this, &TFormMain::Button1Click};`
 *    with `void Button1Click(TObject* Sender);`. Any callable binds too.
 *  - Properties read and write like fields (`Left += 4`,
 *    `Canvas->Brush->Color = clRed`, `Items->Strings[i]`); to get the value
 *    itself write `Width()` or assign to a typed variable (`int w = Width;`).
 *  - Rows built at run time sit inside a TLoadingGuard.
 *  - WinMain: InitFramework(); Application->Initialize(); ...CreateForm...;
 *    Application->Run().
 */
#pragma once

#include "framework/System.h"
#include "framework/SysUtils.h"
#include "framework/LocaleConv.h"
#include "framework/Classes.h"
#include "framework/Filer.h"
#include "framework/Registry.h"
#include "framework/IniFiles.h"
#include "framework/Graphics.h"
#include "framework/Jpeg.h"
#include "framework/ImgList.h"
#include "framework/Messages.h"
#include "framework/Controls.h"
#include "framework/ActnList.h"
#include "framework/Forms.h"
#include "framework/Timers.h"
#include "framework/Threads.h"
#include "framework/Clipbrd.h"
// Standard controls, menus and common dialogs.
#include "framework/StdCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/ScrollBox.h"
#include "framework/ComCtrls.h"
#include "framework/Menus.h"
#include "framework/Dialogs.h"
