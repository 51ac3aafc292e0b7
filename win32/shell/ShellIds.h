#pragma once

// Labels and frames the program never addresses.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// The shell's resources and commands. Read by the resource script as well,
// so plain defines.

// The main menu, the accelerator table, the application icon and the
// document string share this id.
#define IDR_MAINFRAME 128
#define IDI_DOCUMENT 129
#define IDC_HAND_CURSOR 135
#define IDD_ABOUTBOX 100
// The application's name, the caption of its message boxes.
#define IDS_APPLICATION_NAME 57344

#define ID_FILE_NEW 57600
#define ID_FILE_OPEN 57601
#define ID_FILE_SAVE 57603
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_UNDO 57643
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665
#define ID_NEXT_PANE 57680
#define ID_PREV_PANE 57681
#define ID_CLEAR_SIGN 32772
#define ID_SCORE_BOARD_OPTIONS 32773
#define ID_SHOW_SCORING_HISTORY 32774
#define ID_COMMUNICATION_SETTINGS 32775

// The About box's controls.
#define IDC_CONTACT_ADDRESS 1024
#define IDC_UPDATE_LINK 1025
#define IDC_MAKER_LINK 1026
#define IDC_VERSION_TEXT 1027
