#include "UsageTerms.h"

namespace frontend {
namespace {

enum class Line { Title, NotesHeading, Note, Section, Paragraph, Item };

struct Entry {
    Line kind;
    const wchar_t* text;
};

// Numbers and letters are added by the builder; the entries hold the bare texts.
constexpr Entry kTerms[] = {
    {Line::Title, L"《Orvane服务工具使用许可协议》"},
    {Line::NotesHeading, L"重要须知"},
    {Line::Note, L"欢迎使用Orvane服务工具（以下简称“本工具”）。本工具用于在您自愿的前提下，收集本计算机的硬件、"
                 L"操作系统、已安装的应用程序、性能计数器、事件日志及系统维护日志等诊断信息，并将其打包为一个"
                 L"压缩文件，以便您交给技术支持人员分析故障。"},
    {Line::Note, L"请您在使用本工具前仔细阅读本协议的全部条款，特别是免除或限制责任的条款。您勾选“同意”并点击"
                 L"“开始运行”，即表示您已阅读、理解并接受本协议的全部内容；如您不同意本协议的任何条款，请关闭"
                 L"本工具并停止使用。"},
    {Line::Note, L"本协议是您（个人或单一实体）与Orvane之间就使用本工具所订立的协议。Orvane可以根据需要修改"
                 L"本协议，修改后的协议随新版本的工具一并发布；您使用新版本即视为接受修改后的协议。"},

    {Line::Section, L"知识产权"},
    {Line::Paragraph, L"本工具及其所含的全部程序、图像、界面设计、文字和相关文档的著作权及其他知识产权均归Orvane"
                      L"所有，受著作权法及相关国际条约的保护。"},
    {Line::Paragraph, L"本协议并不向您转让本工具的任何知识产权。未经Orvane书面许可，您不得："},
    {Line::Item, L"对本工具进行反向工程、反向编译或反汇编；"},
    {Line::Item, L"修改、翻译本工具，或以本工具为基础制作衍生作品；"},
    {Line::Item, L"删除或更改本工具及其文档中的版权声明或商标标识。"},
    {Line::Paragraph, L"本工具使用的第三方组件（如7-Zip压缩程序）的权利归其各自的权利人所有，其使用受相应许可"
                      L"条款的约束。"},

    {Line::Section, L"授权使用范围"},
    {Line::Paragraph, L"Orvane授予您一项非独占、不可转让、可撤销的许可：您可以在自己拥有或经合法授权管理的计算机"
                      L"上运行本工具，仅用于收集该计算机的诊断信息并提交给技术支持人员。"},
    {Line::Paragraph, L"您不得将本工具用于任何商业目的，包括出售、出租、出借本工具或以本工具提供有偿服务。"},
    {Line::Paragraph, L"本工具为一次性使用的诊断工具。主窗口关闭后，本工具会自动删除其所在的程序文件夹，请勿在该"
                      L"文件夹中存放需要保留的文件。收集生成的压缩文件保存在您选择的位置，不受此影响（您选择的"
                      L"位置位于程序文件夹内时除外）。"},

    {Line::Section, L"使用规则"},
    {Line::Paragraph, L"本工具需要以管理员权限运行，并会调用操作系统自带的命令行程序（WMIC、PowerShell、"
                      L"systeminfo、wevtutil）读取系统信息。收集期间请勿关闭计算机或强行结束本工具。"},
    {Line::Paragraph, L"收集过程会占用较多的处理器和磁盘资源，计算机可能暂时变慢。建议您在开始收集前保存正在进行"
                      L"的工作并关闭其他程序。"},
    {Line::Paragraph, L"您应保证使用本工具的行为符合法律法规，不得利用本工具："},
    {Line::Item, L"收集不属于您或未经其所有者授权的计算机的信息；"},
    {Line::Item, L"从事危害计算机信息系统安全的活动；"},
    {Line::Item, L"侵犯他人的隐私、商业秘密或其他合法权益。"},
    {Line::Paragraph, L"本工具支持Windows 7、Windows 8、Windows 8.1和Windows 10；在其他版本的系统上本工具不会"
                      L"运行。检测到本工具有新版本时，本工具会提示您下载最新版本，旧版本不再继续运行。"},

    {Line::Section, L"隐私保护"},
    {Line::Paragraph, L"本工具收集的信息包括：硬件配置，操作系统的版本与设置，已安装的应用程序与更新，性能计数器，"
                      L"事件日志，以及CBS、INF安装和系统更新等日志。这些信息中可能包含计算机名、用户名、网络配置"
                      L"等可以识别您或您的计算机的信息。"},
    {Line::Paragraph, L"收集到的信息只保存在本计算机上您所选择的位置，本工具不会自动将其上传或发送给Orvane或任何"
                      L"第三方。是否将生成的压缩文件交给技术支持人员，由您自行决定。"},
    {Line::Paragraph, L"您将压缩文件交给Orvane的技术支持人员后，Orvane仅将其用于分析和解决您所反馈的问题，并采取"
                      L"合理的安全措施加以保护，不会将其出售或提供给与解决您的问题无关的第三方，法律法规另有规定"
                      L"的除外。"},
    {Line::Paragraph, L"问题反馈功能只记录您对“问题是否解决”的回答、工具名称、版本和反馈时间，不包含收集到的"
                      L"系统信息。"},
    {Line::Paragraph, L"如您不希望某一类信息被收集，请在开始收集前取消勾选相应的类别。"},

    {Line::Section, L"责任与免责"},
    {Line::Paragraph, L"本工具按“现状”提供。Orvane不保证本工具能够满足您的全部需求，也不保证本工具的运行不会"
                      L"中断或没有错误。"},
    {Line::Paragraph, L"因下列原因导致本工具无法正常运行或收集结果不完整的，Orvane不承担责任："},
    {Line::Item, L"计算机的硬件、操作系统或系统组件存在故障或已被修改；"},
    {Line::Item, L"安全软件、组策略或权限设置阻止了本工具的运行；"},
    {Line::Item, L"磁盘空间不足或保存位置无法写入；"},
    {Line::Item, L"不可抗力或其他非Orvane所能控制的原因。"},
    {Line::Paragraph, L"在法律允许的最大范围内，Orvane对因使用或无法使用本工具而产生的任何间接、附带或后果性损失"
                      L"（包括数据丢失、业务中断等）不承担责任。"},
    {Line::Paragraph, L"您违反本协议使用本工具所造成的一切后果，由您自行承担。"},

    {Line::Section, L"其他条款"},
    {Line::Paragraph, L"本协议的订立、效力、解释及争议的解决，均适用中华人民共和国法律。"},
    {Line::Paragraph, L"因本协议引起或与本协议有关的争议，双方应友好协商解决；协商不成的，任何一方均可向Orvane"
                      L"所在地有管辖权的人民法院提起诉讼。"},
    {Line::Paragraph, L"本协议的任何条款被认定为无效或不可执行的，不影响其余条款的效力。"},
    {Line::Paragraph, L"本协议自您勾选“同意”并点击“开始运行”之时起生效。"},
};

constexpr const wchar_t* kSectionNumerals[] = {L"一", L"二", L"三", L"四", L"五", L"六"};
constexpr wchar_t kIndent[] = L"    ";
constexpr wchar_t kLineEnd[] = L"\r\n";

}  // namespace

CString UsageTermsText() {
    CString text;
    int section = 0, paragraph = 0, item = 0;
    for (const Entry& entry : kTerms) {
        switch (entry.kind) {
            case Line::Title: text += entry.text; break;
            case Line::NotesHeading:
            case Line::Section:
                text += kLineEnd;  // blank line before every heading
                if (entry.kind == Line::Section) {
                    text += kSectionNumerals[section++];
                    text += L". ";
                    paragraph = 0;
                }
                text += entry.text;
                break;
            case Line::Note: text += CString(kIndent) + entry.text; break;
            case Line::Paragraph:
                item = 0;
                text.AppendFormat(L"%s%d.%s", kIndent, ++paragraph, entry.text);
                break;
            case Line::Item:
                text.AppendFormat(L"%s%c.%s", kIndent, static_cast<wchar_t>(L'A' + item++), entry.text);
                break;
        }
        text += kLineEnd;
    }
    return text;
}

}  // namespace frontend
