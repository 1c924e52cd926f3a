#pragma once

// Identifiers of the pictures, icons and cursors compiled into velmora.exe:
// the numbers of the layout table's Resource (app/window_layouts.h), which
// design_window.cpp checks. The padlock comes first: Windows shows the
// lowest icon as the file's icon.
#define RES_PADLOCK 1
#define RES_QUESTION 2
#define RES_SMILE 3
#define RES_LOGO 10
#define RES_MENU 11
#define RES_TITLE 12
#define RES_HAND_COLOR 20
#define RES_HAND_MONO 21
