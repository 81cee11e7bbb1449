// The changes document on paper: one function draws it on any device
// context (a printer's, or a bitmap's or metafile's of printer size in the
// tests), a second runs it as a print job.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "changes/print_layout.h"
#include "changes/text_export.h"

namespace kelvora::ui {

// The printer font: the changes tree's font at its size, with the current
// language's character set.
struct PrintFont {
    std::string Face = "Tahoma";
    int Points = 8;
    BYTE Charset = DEFAULT_CHARSET;
};

// The printable area of a device in pixels and its vertical resolution.
struct DevicePage {
    int Width = 0;
    int Height = 0;
    int DpiY = 96;
};
DevicePage DevicePageOf(HDC dc);

// Called around each page; a false answer ends the job.
class PageEvents {
public:
    virtual ~PageEvents() = default;
    virtual bool Begin(HDC dc, int number) = 0;
    virtual bool End(HDC dc, int number) = 0;
};

// Draws the document on dc, page after page: text in black on white, the
// icon of each line drawn as a bitmap (which every printer driver takes).
// False when a page was refused.
bool DrawDocument(HDC dc, const DevicePage& page, const PrintFont& font, const PrintHeading& heading,
                  const std::vector<DocLine>& lines, PageEvents& pages);

// Prints the document on a printer's device context as one job named
// docName. False on any error of the printer; the pages sent before it stay
// sent.
bool PrintOnPrinter(HDC printer, std::string_view docName, const PrintFont& font, const PrintHeading& heading,
                    const std::vector<DocLine>& lines);

}  // namespace kelvora::ui
