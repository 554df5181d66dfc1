#pragma once
// The report of the systeminfo test double, shared with the tests.
#include <string>

namespace doubles {

inline std::wstring SysteminfoReport() {
    return L"\r\n"
           L"主机名:           SKELDA-TEST\r\n"
           L"OS 名称:          Windows 10 专业版 (测试替身)\r\n"
           L"OS 版本:          10.0.19045 暂缺 Build 19045\r\n"
           L"系统类型:         x64-based PC\r\n"
           L"物理内存总量:     8,192 MB\r\n"
           L"修补程序:         安装了 1 个修补程序。\r\n"
           L"                  [01]: KB0000001\r\n";
}

}  // namespace doubles
