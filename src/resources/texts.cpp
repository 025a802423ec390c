// The setup's user-visible texts. Written in UTF-8 here; the compiler stores
// them in GBK (-fexec-charset=GBK), which is what the setup shows and writes.
#include "resources/texts.h"

namespace kestrova::texts {

const char kCaptionError[] = "错误";
const char kCaptionQuit[] = "退出询问";
const char kQuitQuestion[] = "你确实想退出安装程序吗？";

const char kPackageReadError[] = "读取安装包时发生错误!!!";
const char kCaptionCreateFileError[] = "创建该文件时出错";

const char kCreateFailedBefore[] = "创建";
const char kCreateFailedAfter[] = "时出错，是否终止软件的安装？";

const char kRegistryReadError[] = "读取注册表时出错!";

const char kSetupFileReadError[] = "读取安装文件时出错!";
const char kProcessCreateError[] = "创建程序进程失败!";
const char kStatusCopyBefore[] = "正在复制文件 ";
const char kStatusCopyAfter[] = " 到你的硬盘...";
const char kStatusInstallComponents[] = "正在安装应用程序相关组件...";
const char kStatusRegister[] = "正在对应用程序组件进行注册...";
const char kStatusShortcuts[] = "正在创建应用程序的快捷方式...";
const char kStatusUpdatingSystem[] = "安装程序正在更新你的系统...";

const char kLogOpenError[] = "安装程序出错，安装失败！";
const char kRegistryWriteError[] = "写注册表信息时出错!";
const char kUninstallShortcutPrefix[] = "卸载";

const char kWizardTitleAfter[] = "安装";
const char kCaptionNext[] = "下一步(&N) >";
const char kCaptionFinish[] = "完成(&F)";
const char kLicenceTitle[] = "软件许可协议书";
const char kLicenceSubtitleBefore[] = "在安装";
const char kLicenceSubtitleAfter[] = "之前请认真阅读下面的许可协议";
const char kFolderTitle[] = "安装路径选取";
const char kFolderSubtitle[] = "请选择安装路径，如不选择将按默认路径进行安装。";
const char kProgressTitle[] = "正在进行安装";
const char kProgressSubtitle[] = "安装程序正在将此软件安装到你的计算机里，请稍候";
const char kFinishTitleAfter[] = "已经成功地安装到你的计算机中。";
const char kFinishSubtitle[] = "请单击“完成”按钮退出安装程序。";
const char kPathTooShort[] = "你所输入的安装路径长度不够，请重新输入!";
const char kPathWrong[] = "你所选择的安装路径错误，请重新输入!";
const char kWelcomeHeadingBefore[] = "欢迎使用";
const char kWelcomeHeadingAfter[] = "安装向导！";
const char kWelcomeLine1[] = "建议你在继续安装之前关闭所有正在运行的应用程序,单击“下一步”";
const char kWelcomeLine2[] = "阅读软件许可协议书,单击“取消”退出安装！";

// The uninstaller.
const char kUninstallCaption[] = "卸载";
const char kUninstallQuestionBefore[] = "确实要完全删除";
const char kUninstallQuestionAfter[] = "及其所有组件吗？";
const char kUninstallUsage[] =
    "卸载程序需要卸载日志文件的完整路径，例如：\r\n"
    "Kestrova-UnInstall.exe C:\\Program Files\\产品\\产品file.ini";
const char kUninstallNoLogBefore[] = "找不到卸载日志文件：\r\n";
const char kUninstallNoLogAfter[] = "\r\n\r\n该软件可能已被删除。卸载程序没有做任何更改。";
const char kUninstallWorking[] = "正在删除文件，请稍候……";
const char kUninstallDoneAfter[] = "已从您的计算机中删除。";
const char kUninstallNotRemoved[] = "以下项目未能删除（可能正被其他程序使用），请稍后手动删除：";
const char kUninstallMoreBefore[] = "……另有 ";
const char kUninstallMoreAfter[] = " 项";
const char kUninstallSkippedBefore[] = "卸载日志中有 ";
const char kUninstallSkippedAfter[] = " 行无法识别或指向系统文件夹，已跳过。";
const char kUninstallRedirected[] = "以下项目经由链接或挂载点指向别处，未被删除：";
const char kUninstallKeptBefore[] = "卸载日志已被改动：其中 ";
const char kUninstallKeptAfter[] = " 行指向安装文件夹以外的位置，已保留。";

const char kLicenceUnreadable[] = "无法读取许可协议文件：";
const char kLicenceTruncated[] = "（许可协议过长，其余部分未能显示。）";

// Folder page.
const char kDriveEntryBefore[] = "磁盘";
const char kDriveEntryColon[] = "： ";
const char kDriveEntryAfter[] = " MB 空间";
const char kRequiredSpaceBefore[] = "安装此软件至少需要 ";
const char kRequiredSpaceAfter[] = " MB 的磁盘空间！";

}  // namespace kestrova::texts
