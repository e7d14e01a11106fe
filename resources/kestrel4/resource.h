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

// Timers
#define IDT_WAIT_DIALOG         444

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
