// Resource IDs shared by the resource script, the program and its tests.
// Plain #defines: the resource compiler reads this file too.
#pragma once

// Group icons. Group 1 comes first, so the shell shows it for the program.
#define IDI_APPLICATION_ICON 1
#define IDI_TRAY_ACTIVE 101
#define IDI_TRAY_NOT_ACTIVE 102

// Icon images inside the groups.
#define IDI_IMAGE_APP_16 30001
#define IDI_IMAGE_APP_32 30002
#define IDI_IMAGE_TRAY_ACTIVE 1
#define IDI_IMAGE_TRAY_NOT_ACTIVE 2

// Popup menu of the main window.
#define IDM_INSTELLEN 1001
#define IDM_ACTIEF 1002
#define IDM_SLUITEN 1003
#define IDM_EXPORT 1004
#define IDM_IMPORT 1005
#define IDM_WAIT_PRESENTING 1006
#define IDM_CALENDARS 1007
// "Remind me again": five delays for each of up to five alerts, the
// alerts in their order in the menu, each one's delays in their order.
#define IDM_REMIND_FIRST 1100
#define IDM_REMIND_LAST 1124
// The Language menu: Windows' language, then each language in its order.
#define IDM_LANGUAGE_FIRST 1200
#define IDM_LANGUAGE_LAST 1211

// Timers of the main window.
#define IDT_TIMER 1
#define IDT_TIMER1 2

// Controls of the list window.
#define IDC_CMDNIEUW 2001
#define IDC_CMDEDIT 2002
#define IDC_CMDREMOVE 2003
#define IDC_CMDCLOSE IDCANCEL_VALUE
#define IDC_LSTALARM 2005
#define IDC_LBLTIJD 2006

// Controls of the editor.
#define IDC_CHKACTIEF 3001
#define IDC_TXTNAME 3002
#define IDC_TXTDATE 3003
#define IDC_TXTTIJD 3004
#define IDC_CMBREPEAT 3005
#define IDC_CMDOK IDOK_VALUE
#define IDC_CMDCANCEL IDCANCEL_VALUE
#define IDC_LABEL1 3008
#define IDC_LABEL3 3009
#define IDC_LABEL4 3010
#define IDC_LABEL5 3011
#define IDC_CHKDELETE 3012
#define IDC_CMDSOUND 3013

// Controls of the Custom repeat dialog.
#define IDC_LBLINTERVAL 3101
#define IDC_TXTINTERVAL 3102
#define IDC_LBLUNIT 3103
#define IDC_CMBUNIT 3104
#define IDC_LBLDAYS 3105
#define IDC_CHKDAY_FIRST 3106
#define IDC_CHKDAY_LAST 3112
#define IDC_LBLPLACE 3113
#define IDC_CMBPLACE 3114
#define IDC_LBLWEEKDAY 3115
#define IDC_CMBWEEKDAY 3116
#define IDC_LBLEND 3117
#define IDC_CMBEND 3118
#define IDC_LBLENDVALUE 3119
#define IDC_TXTENDVALUE 3120

// Controls of the Sound dialog.
#define IDC_OPTREMINDER 3201
#define IDC_OPTNOSOUND 3202
#define IDC_OPTFILE 3203
#define IDC_LBLSOUNDFILE 3204
#define IDC_TXTSOUNDFILE 3205
#define IDC_CMDBROWSE 3206
#define IDC_CMDPLAY 3207
#define IDC_CHKUNTILANSWERED 3208

// The calendars window, Add... and the password dialog.
#define IDC_LBLCALENDARS 3301
#define IDC_LSTCALENDARS 3302
#define IDC_CMDADD 3303
#define IDC_CMDREFRESH 3305
#define IDC_LBLADDRESS 3311
#define IDC_TXTADDRESS 3312
#define IDC_LBLCALNAME 3313
#define IDC_TXTCALNAME 3314
#define IDC_LBLCALNAMEHINT 3315
#define IDC_LBLUSER 3316
#define IDC_TXTUSER 3317
#define IDC_LBLPASSWORD 3318
#define IDC_TXTPASSWORD 3319
#define IDC_LBLLEAD 3320
#define IDC_TXTLEAD 3321
#define IDC_LBLLEADUNIT 3322
#define IDC_LBLPROMPT 3323
#define IDC_LBLREFRESH 3324
#define IDC_TXTREFRESH 3325
#define IDC_LBLREFRESHUNIT 3326

// The standard command IDs, so that Enter and Esc map onto the buttons.
#define IDOK_VALUE 1
#define IDCANCEL_VALUE 2
