// The program's own resources (program_resources.cpp, part of the program itself): icon group
// 128, the version block, the manifest.
#pragma once

#include "windows.h"

inline constexpr UINT IDR_MAINFRAME = 128;
// The resource type of an application manifest, and the id of a program's manifest.
inline const LPCSTR kManifestType = MAKEINTRESOURCEA(24);
inline constexpr UINT kProgramManifestId = 1;
inline constexpr UINT kVersionInfoId = 1;
// The program icon's picture, in the installation's folder.
inline constexpr char kProgramIconFile[] = "brdj_icon.png";
