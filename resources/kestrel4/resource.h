// Resource IDs of Kestrel4, numbered as the program's documents and stored files expect.
#pragma once

// Dialogs
#define IDD_ABOUTBOX            100
#define IDD_KESTREL_DIALOG      102
#define IDD_SUPPORT             129
#define IDD_CONTROL             130
#define IDD_CURSOR              131
#define IDD_LOGO                132
#define IDD_NO_RESPONSE         171
#define IDD_PORT_OPEN           172
#define IDD_UNSUPPORTED         173
#define IDD_TURNED_OFF          174
#define IDD_ACTIVE              175
#define IDD_COOLING             176
#define IDD_SELECT_PORT         177
#define IDD_SPLASH              179
#define IDD_WAIT                187
// Projector control: the pages of the panel, the preset dialog and the reading notice.
#define IDD_VIDEO_COMPUTER      160
#define IDD_VIDEO_VIDEO         161
#define IDD_AUDIO               162
#define IDD_SETTING             163
#define IDD_ADVANCED            164
#define IDD_ABOUT_PAGE          165
#define IDD_GAMMA               166
#define IDD_PRESET              182
#define IDD_READING             184

// Menu, accelerators and program icon share one number.
#define IDR_MAINFRAME           128

// Bitmaps and icons
#define IDB_SPLASH              200
#define IDI_COMPUTER            263
#define IDI_VIDEO               264
#define IDI_RESIZE              265
#define IDI_FREEZE              266
#define IDI_AVMUTE              267
#define IDI_POWER               268
// Projection pictures 228..231: + 1 for Rear Proj., + 2 for Ceiling.
#define IDB_PROJECTION          228
#define IDB_LOCK_MARK           240
#define IDI_SLIDER_LOW          270
#define IDI_SLIDER_MID          271
#define IDI_SLIDER_HIGH         272
#define IDI_PAGE_LOCK           273
#define IDI_SURROUND            274
#define IDI_LAMP                275

#ifndef IDC_STATIC
#define IDC_STATIC              (-1)
#endif

// Controls of the main window; the tooltip of each button is the string of the same number.
#define IDC_SCREEN_LIST         1000
#define IDC_SCREEN_FRAME        1007
#define IDC_POWER               1040
#define IDC_AVMUTE              1041
#define IDC_FREEZE              1042
#define IDC_RESIZE              1043
#define IDC_VIDEO               1044
#define IDC_COMPUTER            1045
#define IDC_SCREEN_TITLE        1050
#define IDC_SPLASH_PICTURE      1051
#define IDC_ABOUT_ICON          1052

// Controls of the connection dialogs.
#define IDC_WARNING_ICON        1074
#define IDC_MESSAGE_TEXT        1079
#define IDC_PORT1               1080
#define IDC_PORT2               1081
#define IDC_PORT3               1082
#define IDC_PORT4               1083

// Controls of the projector control panel and its pages. Pages share numbers for the
// same item (Brightness is 1118 on both Video pages).
#define IDC_RESET               1054
#define IDC_PATTERN_DISPLAY     1055
#define IDC_TRACKING            1057
#define IDC_SATURATION          1060
#define IDC_SYNC                1061
#define IDC_POS_RIGHT           1067
#define IDC_TINT                1068
#define IDC_BLUE                1070
#define IDC_PIP_COMPOSITE       1075
#define IDC_PIP_SVIDEO          1076
#define IDC_DPMS                1077
#define IDC_CEILING             1078
#define IDC_MESSAGE_OFF         1079
#define IDC_MESSAGE_LOGO        1080
#define IDC_MESSAGE_BLACK       1081
#define IDC_MESSAGE_BLUE        1082
#define IDC_BNC_RGB             1083
#define IDC_BNC_YCRCB           1084
#define IDC_MUTE_BLACK          1085
#define IDC_MUTE_BLUE           1086
#define IDC_MUTE_LOGO           1087
#define IDC_COLOR_AUTO          1089
#define IDC_COLOR_MANUAL        1090
#define IDC_COLOR_TEMP          1091
#define IDC_BLACK_LEVEL         1092
#define IDC_WHITE_LEVEL         1093
#define IDC_STARTUP_SCREEN      1094
#define IDC_REAR_PROJ           1095
#define IDC_CURSOR_H            1096
#define IDC_CURSOR_M            1097
#define IDC_CURSOR_L            1098
#define IDC_VIDEO_SIGNAL        1099
#define IDC_GAMMA1              1101
#define IDC_GAMMA2              1102
#define IDC_GAMMA3              1103
#define IDC_LAMP_HOURS          1104
#define IDC_LAMP_ICON           1105
#define IDC_LAMP_REPLACE        1106
#define IDC_POS_UP              1113
#define IDC_POS_LEFT            1114
#define IDC_POS_DOWN            1115
#define IDC_RESOLUTION          1116
#define IDC_PRESET_BUTTON       1117
#define IDC_BRIGHTNESS          1118
#define IDC_CONTRAST            1119
#define IDC_SHARPNESS           1120
#define IDC_RED                 1121
#define IDC_GREEN               1122
#define IDC_TRACKING_TEXT       1123
#define IDC_SYNC_TEXT           1124
#define IDC_BRIGHTNESS_TEXT     1125
#define IDC_CONTRAST_TEXT       1126
#define IDC_SHARPNESS_TEXT      1127
#define IDC_RED_TEXT            1128
#define IDC_GREEN_TEXT          1129
#define IDC_BLUE_TEXT           1130
#define IDC_KEYSTONE            1131
#define IDC_KEYSTONE_TEXT       1132
#define IDC_PROMPT              1133
#define IDC_VOLUME              1134
#define IDC_TREBLE              1135
#define IDC_BASS                1136
#define IDC_SRS_SPACE           1137
#define IDC_SRS_CENTER          1138
#define IDC_VOLUME_TEXT         1139
#define IDC_TREBLE_TEXT         1140
#define IDC_BASS_TEXT           1141
#define IDC_SRS_SPACE_TEXT      1142
#define IDC_SRS_CENTER_TEXT     1143
// The Video(Video) and Audio pages use 1144/1145 for different items.
#define IDC_SATURATION_TEXT     1144
#define IDC_TINT_TEXT           1145
#define IDC_SOUND3D             1144
#define IDC_SOUND3D_TEXT        1145
#define IDC_BLACK_LEVEL_TEXT    1156
#define IDC_WHITE_LEVEL_TEXT    1157
#define IDC_COLOR_TEMP_TEXT     1158
#define IDC_PRESET_NUMBER       1160
#define IDC_SURROUND_PICTURE    1168
#define IDC_SURROUND_GROUP      1172
#define IDC_SRS_SPACE_LABEL     1173
#define IDC_SRS_CENTER_LABEL    1174
#define IDC_SRS_SPACE_MARKS     1175
#define IDC_SRS_CENTER_MARKS    1176
#define IDC_SOUND3D_LABEL       1177
#define IDC_SOUND3D_MARKS       1178
#define IDC_FREQUENCY_GROUP     1179
#define IDC_VIDEO_GROUP         1180
#define IDC_HFREQ_LABEL         1181
#define IDC_VFREQ_LABEL         1182
#define IDC_HPOL_LABEL          1183
#define IDC_VPOL_LABEL          1184
#define IDC_HFREQ               1185
#define IDC_VFREQ               1186
#define IDC_HFREQ_UNIT          1187
#define IDC_VFREQ_UNIT          1188
#define IDC_AUTO_LABEL          1189
#define IDC_VIDEO_SIGNAL_TEXT   1190
#define IDC_SYNC_MODE_LABEL     1191
#define IDC_HPOL                1196
#define IDC_VPOL                1197
#define IDC_SYNC_MODE           1200
#define IDC_RESOLUTION_TEXT     1202
#define IDC_RESOLUTION_LABEL    1203
#define IDC_REFRESH_TEXT        1204
#define IDC_BLACK_LEVEL_LABEL   1206
#define IDC_WHITE_LEVEL_LABEL   1207
#define IDC_BLACK_LEVEL_MARKS   1208
#define IDC_WHITE_LEVEL_MARKS   1209
#define IDC_PROJECTION_PICTURE  1217
#define IDC_PANEL_TABS          1218
#define IDC_PROJECTOR1          1219
#define IDC_PROJECTOR2          1220
#define IDC_PROJECTOR3          1222
#define IDC_PROJECTOR4          1223
#define IDC_MARK_COLOR_SETTING  1242
#define IDC_MARK_STARTUP        1243
#define IDC_MARK_REAR_PROJ      1244
#define IDC_MARK_CEILING        1245
#define IDC_MARK_CURSOR_SPEED   1246
#define IDC_MARK_VIDEO_SIGNAL   1247
#define IDC_MARK_POSITION       1248
#define IDC_MARK_RESOLUTION     1249
#define IDC_MARK_PRESET         1250
#define IDC_MARK_TRACKING       1251
#define IDC_MARK_SYNC           1252
#define IDC_MARK_BRIGHTNESS     1253
#define IDC_MARK_CONTRAST       1254
#define IDC_MARK_SHARPNESS      1255
#define IDC_MARK_RGB            1256
#define IDC_MARK_SATURATION     1257
#define IDC_MARK_TINT           1258
#define IDC_MARK_PROMPT         1259
#define IDC_MARK_KEYSTONE       1260
#define IDC_MARK_DPMS           1261
#define IDC_MARK_PIP            1262
#define IDC_MARK_MESSAGE        1263
#define IDC_MARK_MUTE           1264
#define IDC_MARK_BNC            1265
#define IDC_MARK_VOLUME         1266
#define IDC_MARK_TREBLE         1267
#define IDC_MARK_BASS           1268
#define IDC_MARK_SRS_SPACE      1269
#define IDC_MARK_SRS_CENTER     1270
#define IDC_PAGE_LOCK           1272
#define IDC_VIDEO_SIGNAL_LABEL  1274
#define IDC_FREQUENCY_NOTE      1275
#define IDC_REFRESH_LABEL       1276
#define IDC_REFRESH_RATE        1277

// Timers
#define IDT_WAIT_DIALOG         444
// Auto-repeat of a held position arrow, and the step it asks its page for.
#define IDT_REPEAT              111
#define UM_REPEAT_STEP          0x46E

// Commands
#define IDM_ABOUTBOX            0x0010
#define ID_EXECUTE_SUPPORT      32771
#define ID_ALWAYS_UNCONNECTED   32772
#define ID_TEST_PATTERN         32773
#define ID_SEND_LOGO            32776
#define ID_SEND_CURSOR          32778
#define ID_PORT_COM1            32780
#define ID_PORT_COM2            32781
#define ID_PORT_COM3            32782
#define ID_PORT_COM4            32783
#define ID_FILE_NEW             57600
#define ID_FILE_OPEN            57601
#define ID_FILE_SAVE            57603
#define ID_FILE_SAVE_AS         57604
#define ID_APP_ABOUT            57664
#define ID_APP_EXIT             57665
#define ID_HELP_FINDER          57667

// Strings
#define IDS_ABOUTBOX            101
#define IDS_CAPTION             102
#define IDS_SCREEN_SUPPORT      103
#define IDS_SCREEN_CONTROL      104
#define IDS_SCREEN_LOGO         105
#define IDS_SCREEN_CURSOR       106
// Tab texts of the projector control panel: Video, Audio, Setting, Advanced, About, Gamma.
#define IDS_TAB_FIRST           122
// Video signal names 300..315 ("------", "Auto", "NTSC" ...), the Resolution list 320..351
// and "Preset1".."Preset5" 352..356.
#define IDS_SIGNAL_NONE         300
#define IDS_AUTO                301
#define IDS_RESOLUTION_FIRST    320
#define IDS_PRESET_FIRST        352
#define IDS_PRESET_NOT_REGISTERED 525
#define IDS_PRESET_OVERWRITE    526
#define IDS_POWER_OFF           510
#define IDS_COLOR_DEPTH         512
#define IDS_SAVE_LOGO           538
#define IDS_SAVE_CURSOR         539
#define IDS_NEXT_STARTUP        540
#define IDS_CHANGED_KIND        504
#define IDS_COMM_ERROR          505
#define IDS_TURNED_OFF_AGAIN    506
#define IDS_UNCONNECTED         508
#define IDS_TURNED_OFF          509
#define IDS_UNRECOGNIZED        511
#define IDS_WARN_FAN            560
#define IDS_WARN_FUSE           561
#define IDS_WARN_HEAT           562
#define IDS_WARN_LAMP_LIFE      563
#define IDS_WARN_LAMP_LIFE2     564
#define IDS_WARN_LAMP           565
#define IDS_WARN_STACK          566
#define IDS_WARN_INTERNAL       567

// Timers
#define IDT_SPLASH              777

// Cursor/stamp set page and the cursor and stamp item libraries (cursor_set.rc).
#define IDD_CURSOR_CHANGE       145
#define IDD_STAMP_SETTING       146
#define IDC_SET_FRAMES          2300    // the eight frames, drawn by the page
#define IDC_SET_SLOTS           2301    // list box "0" .. "7"
#define IDC_SET_EDIT            2302
#define IDC_SET_TITLE           2303
#define IDC_ITEM_LIST           2310
#define IDC_ITEM_NEW            2311
#define IDC_ITEM_EDIT           2312
#define IDC_ITEM_DELETE         2313
#define IDS_SET_READ_FAILED     2400
#define IDS_SET_NOT_AVAILABLE   2401
#define IDS_SET_WRITE_FAILED    2402
#define IDS_SET_UNTITLED        2403
#define IDS_SET_SEND_QUESTION   2404
#define IDS_SET_SENT            2405
#define IDS_SET_FILTER          2406
#define IDS_ITEMS_FULL          2407
#define IDS_ITEMS_FULL_EDIT     2408
#define IDS_ITEM_DELETE         2409
#define IDS_EDITOR_NOT_STARTED  2410
// Presentation support: the screen (IDD_SUPPORT), its setting pages and the registering
// dialog. The Cursor change (145) and Stamp (146) pages belong to the cursor/stamp work.
#define IDD_FREE_LINE           140
#define IDD_LINE                141
#define IDD_ELLIPSE             142
#define IDD_SQUARE              143
#define IDD_BAR                 144
#define IDD_SOUND               147
#define IDD_SPOT_LIGHT          148
#define IDD_CLEAR_SCREEN        149
#define IDD_KEY                 150
#define IDD_REGISTER            180
// Effect type icons 250..260 in type order, then stop and play.
#define IDI_EFFECT_FIRST        250
#define IDI_SOUND_STOP          261
#define IDI_SOUND_PLAY          262
// Controls of the screen.
#define IDC_TYPE_LIST           1000
#define IDC_NAME_LIST           1001
#define IDC_ENTER               1002
#define IDC_DELETE              1003
#define IDC_SLOT_TABS           1004
#define IDC_DESCRIPTION         1006
#define IDC_PAGE_AREA           1007
#define IDC_SHORTCUT            1039
#define IDC_SLOT_BUTTON1        1047
// Controls of the setting pages.
#define IDC_LINE_WIDTH          1010
#define IDC_LINE_WIDTH_SPIN     1011
#define IDC_GRID_WIDTH          1012
#define IDC_GRID_WIDTH_SPIN     1013
#define IDC_TRANSPARENT         1014
#define IDC_TEST                1015
#define IDC_FILL                1016
#define IDC_TRACK               1017
#define IDC_HORIZONTAL          1018
#define IDC_VERTICAL            1019
#define IDC_COLOR_FIRST         1025
#define IDC_SOUND_REFER         1026
#define IDC_SOUND_PLAY          1027
#define IDC_SOUND_STOP          1029
#define IDC_DIAMETER            1036
#define IDC_DIAMETER_SPIN       1037
#define IDC_SOUND_NAME          1038
#define IDC_KEY_CAPTURE         1031
#define IDC_KEY_LIST            1032
#define IDC_KEY_ENTRY           1002
#define IDC_KEY_DELETE_ALL      1003
#define IDC_REGISTER_NAME       1001
// Strings.
#define IDS_INITIAL_SETTING     107
#define IDS_PRESENT_SETTING     108
#define IDS_EFFECT_NAME_FIRST   110
#define IDS_SOUND_FILTER        400
#define IDS_RESERVED_NAME       513
#define IDS_OVERWRITE_SETTING   514
#define IDS_DELETE_SETTING      515
#define IDS_KEYS_FULL           516
#define IDS_VALUE_RANGE         541
// Bitmaps, the user logo and its transfer; test patterns.
#define IDD_TEST_PATTERN        181
#define IDD_LOGO_AREA           185
#define IDD_TRANSFER_PROGRESS   186
#define IDB_PATTERN_FOCUS       232
#define IDB_PATTERN_GRAY        233
#define IDB_PATTERN_COLOR       234
#define IDB_LOGO_FRAME          235
#define IDB_SEND_FROM           236
#define IDB_SEND_TO             237
#define IDC_ZOOM                1062
#define IDC_PATTERN_COLOR       1107
#define IDC_PATTERN_GRAY        1108
#define IDC_PATTERN_FOCUS       1109
#define IDC_PATTERN_USER        1110
#define IDC_PATTERN_FILE_NAME   1111
#define IDC_PATTERN_REFER       1112
#define IDC_SELECT_AREA         1146
#define IDC_LOGO_FRAME          1147
#define IDC_LOGO_PREVIEW        1162
#define IDC_AREA_HELP           1163
#define IDC_AREA_VIEW           1164
#define IDC_PROGRESS_BAR        1165
#define IDC_PROGRESS_TEXT       1191
#define IDC_PATTERN_PREVIEW     1192
#define IDC_PROGRESS_PERCENT    1212
#define IDC_PROGRESS_FROM       1213
#define IDC_PROGRESS_TO         1214
#define IDS_FILTER_LOGO_OPEN    402
#define IDS_FILTER_LOGO_SAVE    403
#define IDS_FILTER_BITMAP       404
#define IDS_SENDING_TITLE       413
#define IDS_READ_FAILED         517
#define IDS_WRITE_FAILED        518
#define IDS_NOT_AVAILABLE       519
#define IDS_NO_PATTERN_FILE     521
#define IDS_SENDING_DATA        527
#define IDS_SEND_QUESTION       529
#define IDS_CANCEL_LOGO         532
#define IDS_SEND_FINISHED       535
#define IDS_LOGO_TOO_SMALL      537
#define IDT_AREA_SCROLL         775

// Effect cursors: the blank pointer, the drawing pointers and the spot light's tiles.
#define IDCUR_BLANK             280
#define IDCUR_FREE_LINE         281
#define IDCUR_LINE              282
#define IDCUR_ELLIPSE           283
#define IDCUR_SQUARE            284
#define IDCUR_TILE_RED          286
#define IDCUR_TILE_BLUE         287
#define IDCUR_TILE_CYAN         288
#define IDCUR_TILE_GREEN        289
#define IDCUR_TILE_MAGENTA      290
#define IDCUR_TILE_GREY         291
#define IDCUR_TILE_YELLOW       292
// Projector setting files and resets
#define IDD_RESET               183
#define IDC_RESET_PAGE          1169
#define IDC_RESET_ALL           1170
#define IDS_SETTING_FILE_FILTER 401
#define IDS_RESET_PAGE_FIRST    420
#define IDS_EXECUTE             520

// Installer-only mode
#define IDD_PASSWORD            178
#define IDD_CHANGE_PASSWORD     189
#define IDD_INSTALLER           190
#define IDR_INSTALLER_MENU      191
#define IDB_BIG_KEY             239
#define IDB_SMALL_KEY           241
#define IDC_PASSWORD            1171
#define IDC_OLD_PASSWORD        1225
#define IDC_NEW_PASSWORD        1226
#define IDC_CONFIRM_PASSWORD    1227
#define IDC_ESTABLISH_STACK     1228
#define IDC_CANCEL_STACK        1229
#define IDC_CHANGE_PASSWORD     1230
#define IDC_SET_POINT           1233
#define IDC_INSTALLER_ITEMS      1234
#define IDC_VALUE_LIST          1235
#define IDC_SUB_CHOICE          1236
#define IDC_SENDING             1238
#define IDC_BIG_KEY             1239
#define IDC_SMALL_KEY           1240
#define IDC_SOURCE_GROUP        1279
#define IDC_LINKED              1280
#define IDC_INDEPENDENT         1281
#define IDC_FUNCTION_LIST       1000
#define ID_INSTALLER_OPEN       32901
#define ID_INSTALLER_SAVE       32902
#define ID_INSTALLER_SAVE_AS    32903
#define IDS_FUNCTION_FIRST      601
#define IDS_STACK_ESTABLISHED   690
#define IDS_STACK_CANCELED      691
#define IDS_PASSWORD_CHANGED    692
#define IDS_WRONG_PASSWORD      693
