#pragma once

// The three Options dialogs' templates and controls. Read by the resource
// script as well, so plain defines.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#define IDD_SCORING_HISTORY 131
#define IDD_SCORE_BOARD_OPTIONS 132
#define IDD_COMMUNICATION_SETTINGS 136

// Score Board Options.
#define IDC_TEAM1_NAME_COLOR 1016
#define IDC_TEAM2_NAME_COLOR 1017
#define IDC_TEAM1_SCORE_COLOR 1018
#define IDC_TEAM2_SCORE_COLOR 1019

// Scoring History.
#define IDC_HISTORY_TEXT 1022

// Communication Settings.
#define IDC_COMPORT 1032
#define IDC_BAUD_RATE 1033
#define IDC_BYTE_SIZE 1034
#define IDC_PROTOCOL 1035
#define IDC_PARITY 1036
#define IDC_STOP_BITS 1037
#define IDC_CONNECTION 1038
#define IDC_SAVE_SETTINGS 1039
#define IDC_HOST 1041
#define IDC_TCP_PORT 1042
#define IDC_TCP_PROTOCOL 1043
#define IDC_NETWORK_NOTE 1044
