#pragma once

// Identifiers of the pictures, icons and cursors compiled into velmora.exe.
// The padlock comes first: Windows shows the lowest icon as the file's icon.
#define RES_PADLOCK 1
#define RES_QUESTION 2
#define RES_SMILE 3
#define RES_HAND_COLOR 10
#define RES_HAND_MONO 11
#define RES_TITLE 20
#define RES_LOGO 21
#define RES_MENU 22
