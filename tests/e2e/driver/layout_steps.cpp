// expect-layout: the current window as a user sees it. Every visible control
// lies inside its parent's client area and inside the window's, the window
// inside the screen; no two visible controls of one parent overlap (a group
// box holds others); every caption and static text shows whole in its
// control. Texts are measured with GDI in the font the program's dialog
// templates name, made as the dialog manager makes it at the screen's
// density: the driver cannot use the program's own font handles.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "driver.h"

namespace kestrova::e2e {
namespace {

constexpr double kDefaultLayoutTimeout = 5;
constexpr size_t kMostProblemsShown = 8;
// RT_DIALOG as the wide resource functions take it.
const LPCWSTR kDialogResource = MAKEINTRESOURCEW(5);

struct TemplateFont {
    std::wstring face;
    int points = 0, weight = 0, italic = 0, charset = DEFAULT_CHARSET;

    bool operator==(const TemplateFont& other) const {
        return face == other.face && points == other.points && weight == other.weight &&
               italic == other.italic && charset == other.charset;
    }
    std::string describe() const {
        return narrow(face) + " " + std::to_string(points) + " pt weight " + std::to_string(weight);
    }
};

// Reads a dialog template's font (DS_SETFONT) from its resource bytes,
// classic or extended; false when it names none or is cut short.
bool templateFont(const BYTE* data, DWORD size, TemplateFont& font) {
    const WORD* words = reinterpret_cast<const WORD*>(data);
    const WORD* end = words + size / 2;
    if (size < 26) return false;
    const bool extended = words[0] == 1 && words[1] == 0xFFFF;
    DWORD style = 0;
    std::memcpy(&style, data + (extended ? 12 : 0), sizeof style);
    if (!(style & DS_SETFONT)) return false;
    const WORD* p = words + (extended ? 13 : 9);  // past the header's fixed part
    // The menu and the class (none, an ordinal or a string), then the title.
    for (int field = 0; field < 3; ++field) {
        if (p >= end) return false;
        if (field < 2 && *p == 0xFFFF) {
            p += 2;
            continue;
        }
        while (p < end && *p) ++p;
        ++p;
    }
    if (p + (extended ? 3 : 1) >= end) return false;
    font.points = *p++;
    if (extended) {
        font.weight = *p++;
        font.italic = LOBYTE(*p);
        font.charset = HIBYTE(*p);
        ++p;
    }
    const WORD* face = p;
    while (p < end && *p) ++p;
    if (p >= end) return false;
    font.face.assign(reinterpret_cast<const wchar_t*>(face), static_cast<size_t>(p - face));
    return true;
}

BOOL CALLBACK collectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    auto* names = reinterpret_cast<std::vector<std::wstring>*>(param);
    // An id is kept as "#id", the form FindResource takes back.
    names->push_back(IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<UINT_PTR>(name))
                                          : std::wstring(name));
    return TRUE;
}

// The one font of the program's dialog templates. False with error when
// the file cannot be read or its templates name different fonts.
bool programDialogFont(const std::wstring& exe, TemplateFont& font, std::string& error) {
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) {
        error = "cannot read the dialog templates of " + narrow(exe);
        return false;
    }
    std::vector<std::wstring> names;
    EnumResourceNamesW(module, kDialogResource, collectName, reinterpret_cast<LONG_PTR>(&names));
    std::vector<TemplateFont> fonts;
    for (const std::wstring& name : names) {
        HRSRC found = FindResourceW(module, name.c_str(), kDialogResource);
        HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
        const void* data = loaded ? LockResource(loaded) : nullptr;
        TemplateFont one;
        if (data &&
            templateFont(static_cast<const BYTE*>(data), SizeofResource(module, found), one)) {
            bool known = false;
            for (const TemplateFont& seen : fonts) known = known || seen == one;
            if (!known) fonts.push_back(one);
        }
    }
    FreeLibrary(module);
    if (fonts.size() != 1) {
        error = narrow(exe) + "'s dialog templates name " + std::to_string(fonts.size()) +
                " fonts; the texts' extents cannot be told";
        for (const TemplateFont& f : fonts) error += " [" + f.describe() + "]";
        return false;
    }
    font = fonts[0];
    return true;
}

RECT clientOnScreen(HWND window) {
    RECT r = {};
    GetClientRect(window, &r);
    MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool contains(const RECT& outer, const RECT& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::string rectText(const RECT& r) {
    char text[64];
    std::snprintf(text, sizeof text, "(%ld,%ld %ldx%ld)", r.left, r.top, r.right - r.left,
                  r.bottom - r.top);
    return text;
}

std::string describe(HWND control) {
    return "id=" + std::to_string(controlId(control)) + " " + narrow(windowClass(control)) + " " +
           quoted(windowText(control));
}

bool isGroupBox(HWND control) {
    return windowClass(control) == L"Button" &&
           (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// What a control's text needs beyond the text itself to show whole, and
// how DrawText lays it out; false for a control without a caption to fit.
struct TextNeed {
    UINT format = 0;
    int extraWidth = 0, extraHeight = 0;
    int minimumHeight = 0;
    bool widthMayBeCut = false;  // an ellipsis style cuts a long text on purpose
};

bool textNeed(HWND control, TextNeed& need) {
    const std::wstring kind = windowClass(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    if (kind == L"Static") {
        const LONG type = style & SS_TYPEMASK;
        if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_SIMPLE &&
            type != SS_LEFTNOWORDWRAP)
            return false;
        need.widthMayBeCut = (style & SS_ELLIPSISMASK) != 0;
        const bool oneLine = type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP || need.widthMayBeCut;
        need.format = (oneLine ? DT_SINGLELINE : DT_WORDBREAK) | DT_EXPANDTABS |
                      ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0);
        return true;
    }
    if (kind != L"Button") return false;
    need.format = DT_SINGLELINE;
    switch (style & BS_TYPEMASK) {
        case BS_PUSHBUTTON:
        case BS_DEFPUSHBUTTON:
            // Inside the button's raised edge.
            need.extraWidth = 2 * GetSystemMetrics(SM_CXEDGE);
            need.extraHeight = 2 * GetSystemMetrics(SM_CYEDGE);
            return true;
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            // The mark and a gap before the text.
            need.extraWidth = GetSystemMetrics(SM_CXMENUCHECK) + GetSystemMetrics(SM_CXEDGE);
            need.minimumHeight = GetSystemMetrics(SM_CYMENUCHECK);
            return true;
        default:
            return false;
    }
}

// The problem with the control's text in font, or "" when it shows whole.
std::string textProblem(HWND control, HDC dc) {
    TextNeed need;
    std::wstring text = windowText(control);
    if (text.empty() || !textNeed(control, need)) return "";
    RECT client = {};
    GetClientRect(control, &client);
    RECT measured = {0, 0, client.right - need.extraWidth, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured,
              DT_CALCRECT | need.format);
    const long width = measured.right + need.extraWidth;
    long height = measured.bottom + need.extraHeight;
    if (height < need.minimumHeight) height = need.minimumHeight;
    if ((need.widthMayBeCut || width <= client.right) && height <= client.bottom) return "";
    return describe(control) + ": its text needs " + std::to_string(width) + "x" +
           std::to_string(height) + ", the control shows " + std::to_string(client.right) + "x" +
           std::to_string(client.bottom);
}

// Single-line edits: a line of text fits between their borders.
std::string editProblem(HWND control, HDC dc) {
    if (windowClass(control) != L"Edit" || (GetWindowLongW(control, GWL_STYLE) & ES_MULTILINE))
        return "";
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    RECT client = {};
    GetClientRect(control, &client);
    if (metrics.tmHeight <= client.bottom) return "";
    return describe(control) + ": a line is " + std::to_string(metrics.tmHeight) +
           " pixels high, the edit shows " + std::to_string(client.bottom);
}

std::vector<std::string> layoutProblems(HWND window, HFONT font) {
    std::vector<std::string> problems;
    RECT frame = {};
    GetWindowRect(window, &frame);
    const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!contains(screen, frame))
        problems.push_back("the window " + rectText(frame) + " is not inside the screen " +
                           rectText(screen));
    const RECT client = clientOnScreen(window);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    std::vector<HWND> shown;
    for (HWND control : descendants(window)) {
        if (!IsWindowVisible(control)) continue;
        shown.push_back(control);
        RECT place = {};
        GetWindowRect(control, &place);
        HWND parent = GetParent(control);
        if (!contains(clientOnScreen(parent), place))
            problems.push_back(describe(control) + " " + rectText(place) +
                               " is not inside its parent's client area " +
                               rectText(clientOnScreen(parent)));
        else if (!contains(client, place))
            problems.push_back(describe(control) + " " + rectText(place) +
                               " is not inside the window's client area " + rectText(client));
        for (const std::string& problem : {textProblem(control, dc), editProblem(control, dc)})
            if (!problem.empty()) problems.push_back(problem);
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    for (size_t i = 0; i < shown.size(); ++i) {
        for (size_t j = i + 1; j < shown.size(); ++j) {
            if (GetParent(shown[i]) != GetParent(shown[j])) continue;
            if (isGroupBox(shown[i]) || isGroupBox(shown[j])) continue;
            RECT a = {}, b = {}, both = {};
            GetWindowRect(shown[i], &a);
            GetWindowRect(shown[j], &b);
            if (IntersectRect(&both, &a, &b))
                problems.push_back(describe(shown[i]) + " " + rectText(a) + " overlaps " +
                                   describe(shown[j]) + " " + rectText(b));
        }
    }
    if (shown.empty()) problems.push_back("the window shows no control");
    return problems;
}

}  // namespace

bool Driver::expectLayout(const Step& step) {
    std::string error;
    if (!currentWindow(error)) return fail(error);
    TemplateFont description;
    if (!programDialogFont(startedExe_, description, error)) return fail(error);
    HDC screen = GetDC(nullptr);
    const int pixels = MulDiv(description.points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    HFONT font =
        CreateFontW(-pixels, 0, 0, 0, description.weight, description.italic, FALSE, FALSE,
                    static_cast<BYTE>(description.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                    PROOF_QUALITY, FF_DONTCARE, description.face.c_str());
    if (!font) return fail("cannot make the font " + description.describe());
    std::vector<std::string> problems;
    size_t controls = 0;
    bool ok = waitFor(step.seconds("timeout", kDefaultLayoutTimeout), [&] {
        if (!currentWindow(error)) return false;
        problems = layoutProblems(current_, font);
        controls = 0;
        for (HWND control : descendants(current_)) controls += IsWindowVisible(control) ? 1 : 0;
        return problems.empty();
    });
    DeleteObject(font);
    if (ok) {
        result_ = std::to_string(controls) + " controls inside, apart and whole in " +
                  description.describe() + " at " + std::to_string(pixels) + " pixels";
        return true;
    }
    if (!failure_.empty()) return false;
    if (problems.empty()) return fail(error);
    std::string message = std::to_string(problems.size()) + " layout problems:";
    for (size_t i = 0; i < problems.size() && i < kMostProblemsShown; ++i)
        message += "\n      " + problems[i];
    return fail(message);
}

}  // namespace kestrova::e2e
