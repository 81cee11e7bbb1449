#include "ui/framework/gdi.h"

namespace kelvora::ui {

Font CreateMessageFont(UINT dpi) {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        return CreatePointFont("Tahoma", 8, dpi);
    // The system reports the font for the primary screen's dpi.
    HDC screen = GetDC(nullptr);
    int screen_dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), screen_dpi);
    return Font(CreateFontIndirectA(&metrics.lfMessageFont));
}

Font CreatePointFont(const char* face, int points, UINT dpi, bool bold, BYTE charset) {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(points, static_cast<int>(dpi), 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = charset;
    lf.lfQuality = DEFAULT_QUALITY;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    return Font(CreateFontIndirectA(&lf));
}

void SetFontOfAll(HWND window, HFONT font, bool (*keep)(HWND child)) {
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    struct Job {
        HFONT font;
        bool (*keep)(HWND);
    } job{font, keep};
    EnumChildWindows(
        window,
        [](HWND child, LPARAM lp) -> BOOL {
            const Job& j = *reinterpret_cast<const Job*>(lp);
            if (j.keep == nullptr || !j.keep(child)) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(j.font), TRUE);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&job));
}

}  // namespace kelvora::ui
