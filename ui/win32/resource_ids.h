#pragma once

// Identifiers of the pictures, icons and cursors compiled into velmora.exe.
// The padlock comes first: Windows shows the lowest icon as the file's icon.
#define IDI_PADLOCK 1
#define IDI_QUESTION 2
#define IDI_SMILE 3
#define IDC_HAND_COLOR 10
#define IDC_HAND_MONO 11
#define IDB_TITLE 20
#define IDB_LOGO 21
#define IDB_MENU 22
