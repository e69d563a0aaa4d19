// The platform layer: the subset of the Win32 interface that this system calls, implemented on
// POSIX. System code includes this one header; what it does not declare does not exist.
// Where a function differs from Windows, its definition says so and pal/DEVIATIONS.md lists it.
#pragma once

#include "pal/control.h"
#include "pal/crash.h"
#include "pal/desktop.h"
#include "pal/dialog.h"
#include "pal/draw.h"
#include "pal/entry.h"
#include "pal/file.h"
#include "pal/ini.h"
#include "pal/input.h"
#include "pal/kernel.h"
#include "pal/menu.h"
#include "pal/message.h"
#include "pal/ole.h"
#include "pal/process.h"
#include "pal/resource.h"
#include "pal/runtime.h"
#include "pal/shell.h"
#include "pal/text.h"
#include "pal/types.h"
#include "pal/window.h"
