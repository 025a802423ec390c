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

const char kLicenceUnreadable[] = "无法读取许可协议文件：";
const char kLicenceTruncated[] = "（许可协议过长，其余部分未能显示。）";

}  // namespace kestrova::texts
