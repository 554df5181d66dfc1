#pragma once
// The about box of the main window's system menu: icon, name and version, OK.
#include "Dialog.h"

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);
};
