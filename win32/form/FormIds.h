#pragma once

// Labels and frames the program never addresses.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The scoreboard form's template and its controls. Read by the resource
// script as well, so plain defines.
#define IDD_RAVELLE_FORM 101

#define IDC_TEAM1_ADD6 1000
#define IDC_TEAM1_ABBREV 1001
#define IDC_TEAM2_ADD6 1002
#define IDC_TEAM2_ABBREV 1003
#define IDC_TEAM1_ADD3 1004
#define IDC_TEAM2_ADD3 1005
#define IDC_TEAM1_ADD2 1006
#define IDC_TEAM2_ADD2 1007
#define IDC_TEAM1_ADD1 1008
#define IDC_TEAM2_ADD1 1009
#define IDC_TEAM1_SUBTRACT1 1010
#define IDC_TEAM2_SUBTRACT1 1011
#define IDC_NOW_SHOWING 1012
#define IDC_SEND_SCORE 1014
#define IDC_NOTE_TEXT 1015
#define IDC_SEND_NOTE 1017
#define IDC_NOTE_COLOR 1018
#define IDC_NOTE_SIZE 1019
#define IDC_CLEAR_NOTE 1021
#define IDC_TEAM1_SCORE 1027
#define IDC_TEAM2_SCORE 1028
#define IDC_NEW_GAME 1029
#define IDC_GUIDE_LINK 1030
#define IDC_HOME_LINK 1031
#define IDC_SHOP_LINK 1033
// Not in the template: the notice lines the form adds beneath it.
#define IDC_SEND_FAILURE_LINE 1090
#define IDC_NOTE_NOTICE_LINE 1091
#define IDC_KEPT_GAME_NOTICE_LINE 1092
