// Test double of systeminfo: prints a fixed report in the OEM code page, as systeminfo does
// when its output goes to a file or pipe (936 in a Chinese prefix), after the time a field
// profile gives it.
#include "DoubleSupport.h"
#include "FieldProfile.h"
#include "SysteminfoReport.h"

using namespace doubles;

int main() {
    RecordCall();
    HangIfEveryToolHangs();
    SpendFieldCosts("systeminfo", {});
    WriteOut(InCodePage(SysteminfoReport(), CP_OEMCP));
    return 0;
}
