#pragma once
// Every user-visible text of the setup, as GBK bytes (texts.cpp is compiled
// with -fexec-charset=GBK). Texts that are built around a path are split
// into their fixed parts.
namespace kestrova::texts {

extern const char kCaptionError[];  // 错误
extern const char kCaptionQuit[];   // 退出询问
extern const char kQuitQuestion[];  // 你确实想退出安装程序吗？

// Start-up.
extern const char kPackageReadError[];        // 读取安装包时发生错误!!!
extern const char kCaptionCreateFileError[];  // 创建该文件时出错

// Decoder: "创建" + path + "时出错，是否终止软件的安装？"
extern const char kCreateFailedBefore[];
extern const char kCreateFailedAfter[];

// Path macros.
extern const char kRegistryReadError[];  // 读取注册表时出错!

// Install run.
extern const char kSetupFileReadError[];  // 读取安装文件时出错!
extern const char kProcessCreateError[];  // 创建程序进程失败!
extern const char kStatusCopyBefore[];    // "正在复制文件 " + name + " 到你的硬盘..."
extern const char kStatusCopyAfter[];
extern const char kStatusInstallComponents[];  // 正在安装应用程序相关组件...
extern const char kStatusRegister[];           // 正在对应用程序组件进行注册...
extern const char kStatusShortcuts[];          // 正在创建应用程序的快捷方式...
extern const char kStatusUpdatingSystem[];     // 安装程序正在更新你的系统...

// Uninstall log and registration.
extern const char kLogOpenError[];             // 安装程序出错，安装失败！
extern const char kRegistryWriteError[];       // 写注册表信息时出错!
extern const char kUninstallShortcutPrefix[];  // 卸载

// Wizard.
extern const char kWizardTitleAfter[];  // productName + "安装"
extern const char kCaptionNext[];       // 下一步(&N) >
extern const char kCaptionFinish[];     // 完成(&F)
extern const char kLicenceTitle[];      // 软件许可协议书
extern const char
    kLicenceSubtitleBefore[];  // "在安装" + productName + "之前请认真阅读下面的许可协议"
extern const char kLicenceSubtitleAfter[];
extern const char kFolderTitle[];  // 安装路径选取
extern const char kFolderSubtitle[];  // 请选择安装路径，如不选择将按默认路径进行安装。
extern const char kProgressTitle[];  // 正在进行安装
extern const char kProgressSubtitle[];  // 安装程序正在将此软件安装到你的计算机里，请稍候
extern const char kFinishTitleAfter[];  // productName + "已经成功地安装到你的计算机中。"
extern const char kFinishSubtitle[];  // 请单击“完成”按钮退出安装程序。
extern const char kPathTooShort[];    // 你所输入的安装路径长度不够，请重新输入!
extern const char kPathWrong[];       // 你所选择的安装路径错误，请重新输入!
extern const char kWelcomeHeadingBefore[];  // "欢迎使用" + productName + "安装向导！"
extern const char kWelcomeHeadingAfter[];
extern const char kWelcomeLine1[];
extern const char kWelcomeLine2[];

// The uninstaller (Kestrova-UnInstall.exe).
extern const char kUninstallCaption[];  // 卸载, followed by the product's name
extern const char kUninstallQuestionBefore[];  // "确实要完全删除" + product + "及其所有组件吗？"
extern const char kUninstallQuestionAfter[];
extern const char kUninstallUsage[];        // the command line names no file log
extern const char kUninstallNoLogBefore[];  // "找不到卸载日志文件：" + path + ...
extern const char kUninstallNoLogAfter[];
extern const char kUninstallWorking[];     // 正在删除文件，请稍候……
extern const char kUninstallDoneAfter[];   // product + "已从您的计算机中删除。"
extern const char kUninstallNotRemoved[];  // followed by the paths, one a line
extern const char kUninstallMoreBefore[];  // "……另有 " + n + " 项"
extern const char kUninstallMoreAfter[];
extern const char kUninstallSkippedBefore[];  // "卸载日志中有 " + n + " 行..."
extern const char kUninstallSkippedAfter[];
extern const char kUninstallRedirected[];  // followed by the paths, one a line
extern const char kUninstallKeptBefore[];  // "卸载日志已被改动：其中 " + n + " 行..."
extern const char kUninstallKeptAfter[];

// Licence page, where the licence is shown as plain text.
extern const char kLicenceUnreadable[];  // 无法读取许可协议文件：
extern const char kLicenceTruncated[];   // （许可协议过长，其余部分未能显示。）

// Folder page.
extern const char kDriveEntryBefore[];     // 磁盘
extern const char kDriveEntryColon[];      // "： " (full-width colon, space)
extern const char kDriveEntryAfter[];      // " MB 空间"
extern const char kRequiredSpaceBefore[];  // "安装此软件至少需要 "
extern const char kRequiredSpaceAfter[];   // " MB 的磁盘空间！"

}  // namespace kestrova::texts
