#include "ui/changes_printout.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "changes/cell_text.h"
#include "ui/change_icons.h"
#include "ui/framework/gdi.h"
#include "ui/framework/wide_text.h"

namespace kelvora::ui {

namespace {

class DcMeasure : public TextMeasure {
public:
    DcMeasure(HDC dc, HFONT font) : dc_(dc), font_(font) {
        SelectGuard select(dc_, font_);
        TEXTMETRICW tm{};
        GetTextMetricsW(dc_, &tm);
        height_ = tm.tmHeight;
    }
    int LineHeight() const override { return height_; }
    int Width(std::string_view text) const override {
        const std::wstring wide = WideText(text);
        SelectGuard select(dc_, font_);
        SIZE size{};
        GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
        return size.cx;
    }
    std::size_t Fit(std::string_view text, int width) const override {
        const std::wstring wide = WideText(text);
        SelectGuard select(dc_, font_);
        INT fit = 0;
        SIZE size{};
        if (!GetTextExtentExPointW(dc_, wide.c_str(), static_cast<int>(wide.size()), std::max(width, 0), &fit,
                                   nullptr, &size))
            return 0;
        // Never half a surrogate pair.
        if (fit > 0 && IS_HIGH_SURROGATE(wide[static_cast<std::size_t>(fit) - 1])) --fit;
        if (fit >= static_cast<INT>(wide.size())) return text.size();
        return platform::win32::Narrow(std::wstring_view(wide).substr(0, static_cast<std::size_t>(fit))).size();
    }

private:
    HDC dc_;
    HFONT font_;
    int height_ = 0;
};

// The 20 change images rendered once at the printout's icon size onto white,
// as 24-bit rows that StretchDIBits copies to any device.
class PrintIcons {
public:
    explicit PrintIcons(int size) : size_(size), stride_((size * 3 + 3) & ~3) {
        ImageList images = CreateChangeImages(size);
        BITMAPINFO info = Info();
        void* bits = nullptr;
        Bitmap dib(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        if (!images || !dib) return;
        MemoryDc dc;
        SelectGuard select(dc.Get(), dib.Get());
        const RECT square{0, 0, size, size};
        for (int i = 0; i < kChangeImageCount; ++i) {
            FillRect(dc.Get(), &square, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
            ImageList_Draw(images.Get(), i, dc.Get(), 0, 0, ILD_NORMAL);
            GdiFlush();
            const auto* from = static_cast<const std::uint8_t*>(bits);
            pixels_[static_cast<std::size_t>(i)].assign(from, from + static_cast<std::size_t>(stride_) * size);
        }
    }

    void Draw(HDC dc, int x, int y, int index) const {
        if (index < 0 || index >= kChangeImageCount) return;
        const auto& pixels = pixels_[static_cast<std::size_t>(index)];
        if (pixels.empty()) return;
        BITMAPINFO info = Info();
        StretchDIBits(dc, x, y, size_, size_, 0, 0, size_, size_, pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    }

private:
    BITMAPINFO Info() const {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = size_;
        info.bmiHeader.biHeight = -size_;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        return info;
    }

    int size_;
    int stride_;
    std::array<std::vector<std::uint8_t>, kChangeImageCount> pixels_;
};

class DcCanvas : public PageCanvas {
public:
    DcCanvas(HDC dc, const PrintFont& font, int dpi, int icon_size, PageEvents& pages)
        : dc_(dc),
          normalFont_(CreatePointFont(font.Face.c_str(), font.Points, static_cast<UINT>(dpi), false, font.Charset)),
          boldFont_(CreatePointFont(font.Face.c_str(), font.Points, static_cast<UINT>(dpi), true, font.Charset)),
          normal_(dc, normalFont_.Get()), bold_(dc, boldFont_.Get()), icons_(icon_size), pages_(pages),
          rule_(CreatePen(PS_SOLID, std::max(1, icon_size / 12), RGB(0, 0, 0))) {}

    const TextMeasure& Measure(bool bold) const override { return bold ? bold_ : normal_; }
    bool BeginPage(int number) override {
        page_ = number;
        return pages_.Begin(dc_, number);
    }
    bool EndPage() override { return pages_.End(dc_, page_); }
    void Text(int x, int y, std::string_view text, bool bold) override {
        const std::wstring wide = WideText(text);
        SelectGuard select(dc_, bold ? boldFont_.Get() : normalFont_.Get());
        // Opaque on white: the page label covers the rule it stands on.
        SetBkMode(dc_, OPAQUE);
        SetBkColor(dc_, RGB(255, 255, 255));
        SetTextColor(dc_, RGB(0, 0, 0));
        SetTextAlign(dc_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
        TextOutW(dc_, x, y, wide.c_str(), static_cast<int>(wide.size()));
    }
    void Icon(int x, int y, int, int index) override { icons_.Draw(dc_, x, y, index); }
    void Rule(int x0, int x1, int y) override {
        SelectGuard select(dc_, rule_.Get());
        MoveToEx(dc_, x0, y, nullptr);
        LineTo(dc_, x1, y);
    }

private:
    HDC dc_;
    Font normalFont_;
    Font boldFont_;
    DcMeasure normal_;
    DcMeasure bold_;
    PrintIcons icons_;
    PageEvents& pages_;
    Pen rule_;
    int page_ = 0;
};

class PrinterPages : public PageEvents {
public:
    bool Begin(HDC dc, int) override { return StartPage(dc) > 0; }
    bool End(HDC dc, int) override { return ::EndPage(dc) > 0; }
};

}  // namespace

DevicePage DevicePageOf(HDC dc) {
    return {GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), GetDeviceCaps(dc, LOGPIXELSY)};
}

bool DrawDocument(HDC dc, const DevicePage& page, const PrintFont& font, const PrintHeading& heading,
                  const std::vector<DocLine>& lines, PageEvents& pages) {
    const int font_height = MulDiv(font.Points, page.DpiY, 72);
    DcCanvas canvas(dc, font, page.DpiY, std::max(font_height, 16), pages);
    return PrintDocument(heading, lines, {page.Width, page.Height, font_height}, canvas);
}

bool PrintOnPrinter(HDC printer, std::string_view docName, const PrintFont& font, const PrintHeading& heading,
                    const std::vector<DocLine>& lines) {
    const std::wstring name = WideText(docName);
    DOCINFOW info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = name.c_str();
    if (StartDocW(printer, &info) <= 0) return false;
    PrinterPages pages;
    const bool drawn = DrawDocument(printer, DevicePageOf(printer), font, heading, lines, pages);
    // EndDoc also after a failure: the pages sent before it stay sent.
    const bool ended = EndDoc(printer) > 0;
    return drawn && ended;
}

}  // namespace kelvora::ui
