#include "ui/framework/rich_log.h"

#include <richedit.h>

#include <string>

namespace kelvora::ui {

bool RichLog::Create(HWND parent, int id, RECT bounds) {
    // The rich edit class lives in Msftedit.dll, loaded once for the process.
    static HMODULE library = LoadLibraryA("Msftedit.dll");
    const char* cls = library != nullptr ? "RICHEDIT50W" : WC_EDITA;
    if (!CreateControl({parent, cls, "",
                        WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL |
                            ES_AUTOHSCROLL | ES_NOHIDESEL,
                        WS_EX_CLIENTEDGE, id, bounds}))
        return false;
    SendMessageA(Handle(), EM_EXLIMITTEXT, 0, 64 * 1024 * 1024);
    // A null target device with line width 1: no word wrap, long lines
    // scroll sideways.
    SendMessageA(Handle(), EM_SETTARGETDEVICE, 0, 1);
    return true;
}

void RichLog::AddLine(std::string_view text, COLORREF colour) {
    HWND h = Handle();
    // Put the caret at the end, give the empty selection its colour, then
    // insert: the inserted text takes the selection's format.
    GETTEXTLENGTHEX length{GTL_NUMCHARS, 1200};
    auto end = static_cast<LONG>(SendMessageA(h, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0));
    CHARRANGE range{end, end};
    SendMessageA(h, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    CHARFORMAT2A format{};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR;
    format.crTextColor = colour;
    SendMessageA(h, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    std::string line(text);
    line += "\r\n";
    SETTEXTEX set{ST_SELECTION, CP_UTF8};
    SendMessageA(h, EM_SETTEXTEX, reinterpret_cast<WPARAM>(&set), reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageA(h, WM_VSCROLL, SB_BOTTOM, 0);
    // Back to the first column: the insertion left the view scrolled to the
    // end of a long line.
    POINT pos{};
    SendMessageA(h, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&pos));
    pos.x = 0;
    SendMessageA(h, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&pos));
}

int RichLog::LineCount() const {
    HWND h = Handle();
    auto lines = static_cast<int>(SendMessageA(h, EM_GETLINECOUNT, 0, 0));
    auto last_start = SendMessageA(h, EM_LINEINDEX, static_cast<WPARAM>(lines - 1), 0);
    bool last_empty = SendMessageA(h, EM_LINELENGTH, static_cast<WPARAM>(last_start), 0) == 0;
    return last_empty ? lines - 1 : lines;
}

}  // namespace kelvora::ui
