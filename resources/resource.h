// Resource ids of TavlinSkelda: dialog templates, controls, strings, icon, PNG skins and the
// scroll-bar bitmap. Included by TavlinSkelda.rc and by the program's sources.
#pragma once

// ---- Dialog templates ----------------------------------------------------------------
#define IDD_ABOUTBOX                    100   // about box, run from the system menu
#define IDD_TAVLINSKELDA_DIALOG         102   // main window: layered host
#define IDD_EXECUTE_PROMPT_CHILD        129   // progress prompt: child with the status text
#define IDD_EXECUTE_PROMPT              130   // progress prompt: layered host
#define IDD_FEEDBACK_CHILD              131   // problem-solving feedback: child with the answers
#define IDD_FEEDBACK                    132   // problem-solving feedback: layered host
#define IDD_PROMPT_CHILD                133   // message prompt: child with text and buttons
#define IDD_PROMPT                      134   // message prompt: layered host
#define IDD_SKELDA_CHILD                135   // main window: child with all controls
#define IDD_TOOLTIP_CHILD               136   // terms panel: child with the rich-edit text
#define IDD_TOOLTIP                     137   // terms panel: layered host
#define IDD_USAGE_CHILD                 138   // usage terms: child with consent and start
#define IDD_USAGE                       139   // usage terms: layered host

// ---- Strings, icon, menu command -------------------------------------------------------
#define IDS_ABOUTBOX                    101   // "关于 TavlinSkelda(&A)..." (system menu item)
#define IDR_MAINFRAME                   128   // program icon
#define IDM_ABOUTBOX                    0x0010 // system-menu command of the about item

// ---- Controls ----------------------------------------------------------------------------
// Progress prompt child (129)
#define IDC_EXECUTE_TEXT                1000  // animated status text
// Feedback child (131)
#define IDC_FEEDBACK_CLOSE              1001
#define IDC_FEEDBACK_SOLVED             1002  // "解决"
#define IDC_FEEDBACK_UNSOLVED           1003  // "未解决"
// Message prompt child (133)
#define IDC_PROMPT_LEFT                 1003  // yes / confirm
#define IDC_PROMPT_RIGHT                1004  // no / cancel
#define IDC_PROMPT_CLOSE                1005
#define IDC_PROMPT_TEXT                 1006  // message text
// Main child (135)
#define IDC_MAIN_CLOSE                  1005
#define IDC_MAIN_MINIMIZE               1007
#define IDC_SAVE_PATH                   1009  // read-only archive path
#define IDC_BROWSE                      1010  // "选择保存位置"
#define IDC_START_COLLECT               1011  // "开始收集"
#define IDC_FEEDBACK_LINK               1012  // "反馈问题"
#define IDC_TITLE_LABEL                 1018  // "Skelda V1.0"
// The eight category boxes, in the order of the category switches
#define IDC_CHECK_CBS_LOG               1019  // "CBS日志"
#define IDC_CHECK_INF_LOG               1020  // "INF日志"
#define IDC_CHECK_INSTALLED_APPS        1021  // "安装应用程序"
#define IDC_CHECK_OPERATING_SYSTEM      1022  // "操作系统"
#define IDC_CHECK_UPDATE_LOG            1023  // "系统更新日志"
#define IDC_CHECK_SYSTEM_LOG            1024  // "系统日志"
#define IDC_CHECK_PERF_COUNTERS         1025  // "性能计数器"
#define IDC_CHECK_HARDWARE              1026  // "硬件相关信息"
#define IDC_CHECK_FIRST                 IDC_CHECK_CBS_LOG
#define IDC_CHECK_LAST                  IDC_CHECK_HARDWARE
// Terms panel child (136)
#define IDC_TERMS_TEXT                  1013  // RichEdit 2.0 with the usage terms
// Usage child (138)
#define IDC_CONSENT                     1014  // "同意"
#define IDC_USAGE_CLOSE                 1015
#define IDC_USAGE_START                 1016  // "开始运行"
#define IDC_TERMS_LINK                  1017  // "《Orvane服务工具使用许可协议》"

// ---- PNG images (resource type "PNG") ----------------------------------------------------
// Button images come in state order: normal, hover, pressed, disabled.
#ifndef RC_INVOKED
#define SKELDA_PNG_TYPE                 L"PNG"
#endif

#define IDB_USAGE_FRAME                 140   // 610 x 461, shadowed frame
#define IDB_USAGE_BACKGROUND            141   // 600 x 450
#define IDB_USAGE_CLOSE_NORMAL          142   // 26 x 34
#define IDB_USAGE_CLOSE_HOVER           143
#define IDB_USAGE_CLOSE_PRESSED         144
#define IDB_USAGE_CLOSE_DISABLED        145
#define IDB_USAGE_START_NORMAL          146   // 260 x 69, "开始运行"
#define IDB_USAGE_START_HOVER           147
#define IDB_USAGE_START_PRESSED         148
#define IDB_USAGE_START_DISABLED        149
#define IDB_MAIN_BROWSE_NORMAL          150   // 80 x 58, "选择保存位置"
#define IDB_MAIN_BROWSE_HOVER           151
#define IDB_MAIN_BROWSE_PRESSED         152
#define IDB_MAIN_BROWSE_DISABLED        153
#define IDB_CONSENT_CHECK_STRIP         154   // 48 x 16: unticked, ticked, greyed (16 x 16 each)
#define IDB_MAIN_CLOSE_NORMAL           155   // 26 x 34
#define IDB_MAIN_CLOSE_HOVER            156
#define IDB_MAIN_CLOSE_PRESSED          157
#define IDB_MAIN_CLOSE_DISABLED         158
#define IDB_EXECUTE_FRAME               159   // 232 x 132, shadowed frame
#define IDB_EXECUTE_BACKGROUND          160   // 204 x 104
#define IDB_MAIN_MINIMIZE_NORMAL        161   // 26 x 34
#define IDB_MAIN_MINIMIZE_HOVER         162
#define IDB_MAIN_MINIMIZE_PRESSED       163
#define IDB_MAIN_MINIMIZE_DISABLED      164
#define IDB_PROMPT_FRAME                165   // 330 x 150, shadowed frame titled 提示
#define IDB_PROMPT_BACKGROUND           166   // 320 x 140
#define IDB_PROMPT_CANCEL_NORMAL        167   // 55 x 24, "取消"
#define IDB_PROMPT_CANCEL_HOVER         168
#define IDB_PROMPT_CANCEL_PRESSED       169   // also its disabled image
#define IDB_PROMPT_CLOSE_NORMAL         170   // 12 x 12
#define IDB_PROMPT_CLOSE_HOVER          171
#define IDB_PROMPT_CLOSE_PRESSED        172   // also its disabled image
#define IDB_PROMPT_NO_NORMAL            173   // 55 x 24, "否"
#define IDB_PROMPT_NO_HOVER             174
#define IDB_PROMPT_NO_PRESSED           175   // also its disabled image
#define IDB_PROMPT_CONFIRM_NORMAL       176   // 55 x 24, "确认"
#define IDB_PROMPT_CONFIRM_HOVER        177
#define IDB_PROMPT_CONFIRM_PRESSED      178   // also its disabled image
#define IDB_PROMPT_YES_NORMAL           179   // 55 x 24, "是"
#define IDB_PROMPT_YES_HOVER            180
#define IDB_PROMPT_YES_PRESSED          181   // also its disabled image
#define IDB_FEEDBACK_FRAME              182   // 410 x 479, shadowed frame
#define IDB_FEEDBACK_BACKGROUND         183   // 400 x 468
#define IDB_FEEDBACK_CLOSE_NORMAL       184   // 12 x 12
#define IDB_FEEDBACK_CLOSE_HOVER        185
#define IDB_FEEDBACK_CLOSE_PRESSED      186
#define IDB_FEEDBACK_CLOSE_DISABLED     187
#define IDB_SCROLLBAR_SKIN              188   // bitmap (RT_BITMAP), 117 x 39: 9 x 3 cells of 13
#define IDB_FEEDBACK_SOLVED_NORMAL      189   // 266 x 60, "解决"
#define IDB_FEEDBACK_SOLVED_HOVER       190
#define IDB_FEEDBACK_SOLVED_PRESSED     191
#define IDB_FEEDBACK_SOLVED_DISABLED    192
#define IDB_MAIN_START_NORMAL           193   // 259 x 85, "开始收集"
#define IDB_MAIN_START_HOVER            194
#define IDB_MAIN_START_PRESSED          195
#define IDB_MAIN_START_DISABLED         196
#define IDB_TOOLTIP_FRAME               197   // 541 x 402, terms panel (frame and background)
#define IDB_FEEDBACK_UNSOLVED_NORMAL    198   // 266 x 60, "未解决"
#define IDB_FEEDBACK_UNSOLVED_HOVER     199
#define IDB_FEEDBACK_UNSOLVED_PRESSED   200
#define IDB_FEEDBACK_UNSOLVED_DISABLED  201
#define IDB_MAIN_FRAME                  202   // 810 x 611, shadowed frame
#define IDB_MAIN_BACKGROUND             203   // 800 x 600
#define IDB_CHECK_TICKED                204   // 17 x 17
#define IDB_CHECK_UNTICKED              205   // 17 x 17

#define IDB_PNG_FIRST                   IDB_USAGE_FRAME
#define IDB_PNG_LAST                    IDB_CHECK_UNTICKED

// Next default values for new objects
#ifdef APSTUDIO_INVOKED
#ifndef APSTUDIO_READONLY_SYMBOLS
#define _APS_NEXT_RESOURCE_VALUE        206
#define _APS_NEXT_COMMAND_VALUE         32771
#define _APS_NEXT_CONTROL_VALUE         1027
#define _APS_NEXT_SYMED_VALUE           101
#endif
#endif
