#pragma once
#define IDD_UI_PLAIN 600
#define IDC_UI_EDIT 1401
#define IDC_UI_BUTTON 1402
