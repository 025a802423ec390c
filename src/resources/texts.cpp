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

}  // namespace kestrova::texts
