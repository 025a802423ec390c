#pragma once
// Every user-visible text of the setup, as GBK bytes (texts.cpp is compiled
// with -fexec-charset=GBK). Texts that are built around a path are split
// into their fixed parts.
namespace kestrova::texts {

extern const char kCaptionError[];               // 错误
extern const char kCaptionQuit[];                // 退出询问
extern const char kQuitQuestion[];               // 你确实想退出安装程序吗？

// Start-up.
extern const char kPackageReadError[];           // 读取安装包时发生错误!!!
extern const char kCaptionCreateFileError[];     // 创建该文件时出错

// Decoder: "创建" + path + "时出错，是否终止软件的安装？"
extern const char kCreateFailedBefore[];
extern const char kCreateFailedAfter[];

// Path macros.
extern const char kRegistryReadError[];          // 读取注册表时出错!

// Install run.
extern const char kSetupFileReadError[];         // 读取安装文件时出错!
extern const char kProcessCreateError[];         // 创建程序进程失败!
extern const char kStatusCopyBefore[];           // "正在复制文件 " + name + " 到你的硬盘..."
extern const char kStatusCopyAfter[];
extern const char kStatusInstallComponents[];    // 正在安装应用程序相关组件...
extern const char kStatusRegister[];             // 正在对应用程序组件进行注册...
extern const char kStatusShortcuts[];            // 正在创建应用程序的快捷方式...
extern const char kStatusUpdatingSystem[];       // 安装程序正在更新你的系统...

// Uninstall log and registration.
extern const char kLogOpenError[];               // 安装程序出错，安装失败！
extern const char kRegistryWriteError[];         // 写注册表信息时出错!
extern const char kUninstallShortcutPrefix[];    // 卸载

// Licence page, where the licence is shown as plain text.
extern const char kLicenceUnreadable[];          // 无法读取许可协议文件：
extern const char kLicenceTruncated[];           // （许可协议过长，其余部分未能显示。）

}  // namespace kestrova::texts
