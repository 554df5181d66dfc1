#pragma once
// The feedback library's own texts.

namespace outside::texts {

constexpr const wchar_t* kPageNotOpenedTitle = L"Skelda";
constexpr const wchar_t* kPageNotOpened =
    L"本工具以管理员身份运行，为安全起见未打开网页。请在浏览器中手动打开以下地址：";

}  // namespace outside::texts
