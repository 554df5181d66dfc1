#pragma once
// Every user-visible Chinese text of the front end, and the fixed names it passes on.
// Keep new texts here as named constants.

namespace texts {

// Tool name and version handed to the feedback library.
constexpr wchar_t kToolName[] = L"Skelda";
constexpr wchar_t kToolVersion[] = L"V 1.0";
// Title of every skinned host window.
constexpr wchar_t kWindowTitle[] = L"Skelda";

// ---- Main collection window ----
constexpr wchar_t kTitleLabel[] = L"Skelda V1.0";
constexpr wchar_t kDefaultArchivePath[] = L"C:\\OrvaneTavlin\\信息收集.7z";
constexpr wchar_t kEmptySaveLocation[] = L"文件存放位置不能为空，请选择文件存放位置！";
constexpr wchar_t kCollectSucceeded[] = L"收集系统信息成功！";
constexpr wchar_t kCollectFailed[] = L"收集系统信息失败！";
// After the success text, when the earlier archive could not be replaced; the new one's path follows.
constexpr wchar_t kArchiveKeptBeside[] = L"原有压缩包无法覆盖，新压缩包已另存为：";
// After the success text, when the engine says the archive lacks files.
constexpr wchar_t kArchiveIncomplete[] = L"压缩包不完整，缺少部分文件，详见压缩包中的 archive-check.txt";
// After the failure text, when what was collected could not be packed and was kept; the folder follows.
constexpr wchar_t kCollectionKeptAt[] = L"已收集的文件未能打包，已保留在：";
constexpr wchar_t kCollecting[] = L"正在收集信息，请稍等";

// ---- Usage-terms window ----
// The consent box's label and the link together, measured to size both controls.
constexpr wchar_t kConsentAndLink[] = L"同意《Orvane服务工具使用许可协议》";
constexpr wchar_t kNewVersionAvailable[] = L"检测到当前工具有新的版本更新，请下载最新版本使用。";

// ---- Prompts ----
// Progress prompt text when the caller's text is shorter than two characters.
constexpr wchar_t kProgressDefault[] = L"正在删除，请稍等";

// ---- Start-up failures (library binding) ----
constexpr wchar_t kToolInitFailed[] = L"工具初始化失败";
constexpr wchar_t kToolInitFailedHook[] = L"工具初始化失败！";
constexpr wchar_t kEngineInitFailed[] = L"初始化DLL失败";
constexpr wchar_t kSystemNotSupported[] = L"此工具不支持当前系统";

// ---- Start-up refusals (the clean room) ----
constexpr wchar_t kSearchNotNarrowed[] =
    L"当前系统缺少安全更新（KB2533623），为安全起见本工具无法运行。请安装系统更新后重试。";
constexpr wchar_t kDotLocalBeside[] =
    L"程序所在目录中存在“.local”文件或文件夹，为安全起见本工具无法运行。请删除后重试。";
constexpr wchar_t kNoCleanRoom[] = L"无法创建本工具的安全运行目录，工具无法运行。";
constexpr wchar_t kShippedFileMissing[] = L"工具文件缺失，请重新下载本工具后再运行。";
constexpr wchar_t kShippedFileChanged[] = L"工具文件已被更改，为安全起见无法运行。请重新下载本工具。";
constexpr wchar_t kShippedFileUnreadable[] = L"工具文件无法读取，请关闭正在使用它的程序后重试。";

}  // namespace texts
