// Shell: opening documents, installing fonts and making shortcuts through
// the shell link object.
#include <windows.h>
// after windows.h, which they build on
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/win32/com_ptr.h"
#include "platform/win32/wide.h"
#include "platform/win32/win32_platform.h"

namespace kestrova::win32 {

bool Win32Platform::shellOpen(const char* path, int showCommand) {
    Wide file(path);
    if (!file.ok()) return false;
    // ShellExecute reports success with a value above 32.
    HINSTANCE result = ShellExecuteW(nullptr, nullptr, file, nullptr, nullptr, showCommand);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool Win32Platform::addFont(const char* path) {
    Wide file(path);
    return file.ok() && AddFontResourceW(file) != 0;
}

void Win32Platform::announceFontChange() {
    // Posted, not sent: the message carries no data, and a sent broadcast
    // would wait for every window, a hung one too.
    PostMessageW(HWND_BROADCAST, WM_FONTCHANGE, 0, 0);
}

bool Win32Platform::createShellLink(const ShellLinkFields& fields, const char* linkPath,
                                    void (*beforeSave)(void* context), void* context) {
    // Every text is converted before anything is made: a field that is not
    // GBK would otherwise give a shortcut pointing somewhere else.
    Wide target(fields.target ? fields.target : "");
    Wide arguments(fields.arguments ? fields.arguments : "");
    Wide folder(fields.workingFolder ? fields.workingFolder : "");
    Wide description(fields.description ? fields.description : "", Conversion::Lenient);
    Wide file(linkPath);
    if (!target.ok() || !arguments.ok() || !folder.ok() || !description.ok()) return false;

    ComScope com;
    if (!com.initialize()) return false;
    ComPtr<IShellLinkW> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                link.outVoid())) ||
        !link) {
        return false;
    }
    // The results of the setters are not looked at: a field the object
    // refuses leaves it empty, and the shortcut is still worth saving.
    link->SetArguments(arguments);
    link->SetPath(target);
    link->SetWorkingDirectory(folder);
    link->SetDescription(description);
    link->SetShowCmd(fields.showCommand);

    ComPtr<IPersistFile> persist;
    if (!link.query(IID_IPersistFile, &persist)) return false;
    if (beforeSave) beforeSave(context);
    if (!file.ok()) return false;  // no name the system can take
    return SUCCEEDED(persist->Save(file, TRUE));
}

}  // namespace kestrova::win32
