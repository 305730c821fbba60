// Identifiers of the resource script's dialogs, menus, pictures and controls, shared by the
// script and the code.
#pragma once

// Dialogs
#define IDD_ABOUTBOX 100
#define IDD_MAIN 102
#define IDD_OPTION_GENERAL 146
#define IDD_OPTION 150
#define IDD_SCHEDULER 151
#define IDD_REPEAT_DAILY 152
#define IDD_REPEAT_WEEKLY 153
#define IDD_REPEAT_MONTHLY 154
#define IDD_PROGRESS 166
#define IDD_MODIFY 172
#define IDD_TYPE_DIF 174
#define IDD_TYPE_HELP_DIF 177
#define IDD_TYPE_HELP_INC 178
#define IDD_TYPE_HELP_SPD 179
#define IDD_TYPE_HELP_SYNC 180
#define IDD_TYPE_INC 181
#define IDD_TYPE_SPD 182
#define IDD_TYPE_SYNC 183
#define IDD_COMPLETE 184
#define IDD_DONATE_PAGE 185
#define IDD_REPORT_PAGE 186
#define IDD_AUTO_DETECT 187

// Strings
#define IDS_ABOUTBOX 101

// Icons, cursors and bitmaps
#define IDI_MAIN 135
#define IDI_BROWSE 201
#define IDI_FTP 202
#define IDI_REGISTER 203
#define IDI_OPTION 204
#define IDI_HELP 205
#define IDI_AUTO_DETECT 206
#define IDI_START 207
#define IDI_PAUSE 208
#define IDI_STOP 209
#define IDC_LINK_CURSOR 184
#define IDB_MAIN_BACKGROUND 168
#define IDB_PROGRESS_BACKGROUND 193
#define IDB_COPY_ANIMATION 194
#define IDB_DELETE_ANIMATION 195
#define IDB_HELP_SYNC 196
#define IDB_HELP_DIF 197
#define IDB_HELP_INC 198
#define IDB_HELP_SPD 199

// Menus: the notification-area menu, the job list's and the filter lists' context menus in
// each language
#define IDR_TRAY_ENGLISH 151
#define IDR_TRAY_JAPANESE 153
#define IDR_TRAY_KOREAN 145
#define IDR_JOBLIST_ENGLISH 150
#define IDR_JOBLIST_JAPANESE 152
#define IDR_JOBLIST_KOREAN 143
#define IDR_FILTER_ENGLISH 175
#define IDR_FILTER_JAPANESE 176
#define IDR_FILTER_KOREAN 174

// Menu commands
#define ID_JOBLIST_DELETE 32771
#define ID_JOBLIST_MODIFY 32772
#define ID_FILTER_DELETE 32780
#define ID_FILTER_ADD 32783
#define ID_TRAY_OPEN 32775
#define ID_TRAY_OPTION 32777
#define ID_APP_EXIT 57665
#define IDM_ABOUTBOX 16

// Main dialog
#define IDC_BASE_BROWSE 1004
#define IDC_TARGET_BROWSE 1005
#define IDC_BASE_FTP 1006
#define IDC_BASE_PATH 1007
#define IDC_TARGET_FTP 1008
#define IDC_TARGET_PATH 1009
#define IDC_START 1013
#define IDC_REGISTER 1014
#define IDC_OPTION 1015
#define IDC_PAUSE 1016
#define IDC_STOP 1017
#define IDC_HELP_PAGE 1018
#define IDC_JOB_LIST 1020
#define IDC_AUTO_DETECT 1021
#define IDC_ANIMATION_AREA 1023
#define IDC_ANALYSIS_STATUS 1024
#define IDC_BASE_LABEL 1029
#define IDC_TARGET_LABEL 1030
#define IDC_BOTTOM_FRAME 1070
#define IDC_BANNER 1072

// Option dialog and its general page
#define IDC_REG_STARTUP 1028
#define IDC_AUTO_DETECT_ON 1029
#define IDC_LANGUAGE_LIST 1033
#define IDC_LANGUAGE_LABEL 1035
#define IDC_OPTION_TABS 1036
#define IDC_CYCLE_SPIN 1038
#define IDC_CYCLE_TIME 1045
#define IDC_CYCLE_LABEL 1047
#define IDC_AUTO_UPDATE 1113
#define IDC_MANUAL_UPDATE 1114
#define IDC_UPDATE_NOW 1115
#define IDC_UPDATE_GROUP 1116

// Scheduler page and its repeat pages
#define IDC_HOUR_SPIN 1038
#define IDC_MINUTE_SPIN 1039
#define IDC_REPEAT_DAILY 1040
#define IDC_REPEAT_WEEKLY 1041
#define IDC_REPEAT_MONTHLY 1042
#define IDC_REPEAT_FRAME 1043
#define IDC_TIME_GROUP 1044
#define IDC_SCHEDULE_HOUR 1045
#define IDC_SCHEDULE_MINUTE 1046
#define IDC_HOUR_LABEL 1047
#define IDC_MINUTE_LABEL 1048
#define IDC_REPEAT_GROUP 1049
#define IDC_USE_SCHEDULER 1050
#define IDC_SCHEDULE_NEVER 1052
#define IDC_WEEK_SUN 1065
#define IDC_WEEK_MON 1023
#define IDC_WEEK_TUE 1024
#define IDC_WEEK_WED 1025
#define IDC_WEEK_THU 1026
#define IDC_WEEK_FRI 1027
#define IDC_WEEK_SAT 1028
#define IDC_MONTH_EVERY 1051
#define IDC_MONTH_DATE 1061
#define IDC_MONTH_DAY 1063

// Donation and report pages
#define IDC_DONATE_TEXT 1117
#define IDC_REPORT_ON 1131
#define IDC_REPORT_UPDATED 1132
#define IDC_REPORT_CREATED 1133
#define IDC_REPORT_DELETED 1134

// Job editor
#define IDC_EXCLUDE_LIST 16
#define IDC_INCLUDE_LIST 17
#define IDC_MODIFY_BASE_LABEL 1073
#define IDC_MODIFY_TARGET_LABEL 1074
#define IDC_MODIFY_BASE 1075
#define IDC_MODIFY_TARGET 1076
#define IDC_MODIFY_BASE_BROWSE 1077
#define IDC_MODIFY_TARGET_BROWSE 1078
#define IDC_MODIFY_BASE_FTP 1079
#define IDC_MODIFY_TARGET_FTP 1080
#define IDC_TYPE_SYNC 1082
#define IDC_TYPE_DIF 1083
#define IDC_TYPE_INC 1084
#define IDC_TYPE_SPD 1085
#define IDC_TYPE_PAGE_FRAME 1086
#define IDC_TYPE_LABEL 1091
#define IDC_EXCLUDE_LABEL 1131
#define IDC_INCLUDE_LABEL 1132
// The backup type pages in the job editor's frame
#define IDC_TYPE_PAGE_TEXT 1095
#define IDC_SYNC_DELETE_NOTE 1096
#define IDC_ZIP_OPTION 1097
#define IDC_PERIOD_START_LABEL 1099
#define IDC_PERIOD_END_LABEL 1100
#define IDC_PERIOD_START_DATE 1103
#define IDC_PERIOD_END_DATE 1104
#define IDC_PERIOD_START_TIME 1105
#define IDC_PERIOD_END_TIME 1106
#define IDC_SYNC_DELETE 1130
#define IDC_TAKE_DOT_FOLDERS 1135
// Each page's button that opens its type's help
#define IDC_TYPE_HELP_DIF 1092
#define IDC_TYPE_HELP_INC 1093
#define IDC_TYPE_HELP_SPD 1094
#define IDC_TYPE_HELP_SYNC 1093
// The backup type help dialogs
#define IDC_TYPE_HELP_TEXT1 1106
#define IDC_TYPE_HELP_TEXT2 1107
#define IDC_TYPE_HELP_ANIMATION 1108
// The editor that opens over a filter list's cell
#define IDC_INPLACE_EDIT 100

// Completion dialog
#define IDC_COMPLETE_TEXT 1110
#define IDC_COMPLETE_BANNER 1111
#define IDC_COMPLETE_FRAME 1112

// Progress window
#define IDC_PROGRESS_BAR 1021
#define IDC_PROGRESS_STATUS 1121
#define IDC_PROGRESS_BASE_LABEL 1122
#define IDC_PROGRESS_TARGET_LABEL 1123
#define IDC_PROGRESS_BASE 1124
#define IDC_PROGRESS_TARGET 1125
#define IDC_PROGRESS_JOB_GROUP 1126
#define IDC_PROGRESS_STATE_GROUP 1127
#define IDC_PROGRESS_ANIMATION 1128

// Auto-detect window
#define IDC_AUTO_DETECT_ANIMATION 1132
#define IDC_AUTO_DETECT_TEXT 1133

// About box
#define IDC_ABOUT_VERSION 1140
#define IDC_ABOUT_TEXT 1141

// Timers of the main window, each one-shot: the scheduler's tick, the periodic auto-detect
// pass and the end of an auto-detect pass started by the button
#define IDT_SCHEDULE 4
#define IDT_AUTO_DETECT 5
#define IDT_AUTO_DETECT_WINDOW 6

// Messages of the main window: the notification-area icon's callback and the update request
#define WM_TRAY_NOTIFY (WM_USER + 10)
#define WM_UPDATE_REQUEST (WM_USER + 7)
