// Narrow text: the system's narrow text is GBK (code page 936).
#pragma once

#include "pal/types.h"

#define CP_ACP 0u
#define CP_GBK 936u

// True for a byte that starts a two-byte GBK character (0x81 to 0xFE).
BOOL IsDBCSLeadByte(BYTE TestChar);
// The same rule for an explicit code page; only CP_ACP and 936 are known, others give FALSE.
BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar);

// Not Win32: the layer's one place that turns a UTF-8 source literal into its GBK bytes. The
// conversion runs once per distinct text; the returned pointer stays valid for the process's life.
// Text that cannot be converted is returned unchanged.
const char* PalGbk(const char* utf8);
