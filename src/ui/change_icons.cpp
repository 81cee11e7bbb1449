#include "ui/change_icons.h"

#include <cmath>

#include "changes/cell_text.h"

namespace kelvora::ui {

namespace {

constexpr COLORREF kMaskColour = RGB(255, 0, 255);
constexpr COLORREF kOutline = RGB(64, 64, 64);
constexpr COLORREF kFolder = RGB(250, 204, 84);
constexpr COLORREF kFolderEdge = RGB(176, 128, 24);
constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kCreated = RGB(16, 160, 32);
constexpr COLORREF kDeleted = RGB(216, 32, 32);
constexpr COLORREF kChanged = RGB(240, 140, 0);
constexpr COLORREF kCounted = RGB(32, 96, 224);
constexpr COLORREF kMoved = RGB(128, 64, 192);

// Draws in a 16-unit grid scaled to the icon's size.
class Painter {
public:
    Painter(HDC dc, int size, int left) : dc_(dc), scale_(size / 16.0), left_(left) {}

    int X(double x) const { return left_ + static_cast<int>(std::lround(x * scale_)); }
    int Y(double y) const { return static_cast<int>(std::lround(y * scale_)); }

    void Box(double x0, double y0, double x1, double y1, COLORREF fill, COLORREF edge) {
        Brush brush(CreateSolidBrush(fill));
        Pen pen(CreatePen(PS_SOLID, 1, edge));
        SelectGuard b(dc_, brush.Get());
        SelectGuard p(dc_, pen.Get());
        Rectangle(dc_, X(x0), Y(y0), X(x1), Y(y1));
    }
    void Shape(std::initializer_list<POINT> units, COLORREF fill, COLORREF edge) {
        POINT pts[8];
        int n = 0;
        for (POINT u : units) pts[n++] = {X(u.x), Y(u.y)};
        Brush brush(CreateSolidBrush(fill));
        Pen pen(CreatePen(PS_SOLID, 1, edge));
        SelectGuard b(dc_, brush.Get());
        SelectGuard p(dc_, pen.Get());
        Polygon(dc_, pts, n);
    }
    void Line(double x0, double y0, double x1, double y1, COLORREF colour, double width) {
        Pen pen(CreatePen(PS_SOLID, std::max(1, static_cast<int>(std::lround(width * scale_))), colour));
        SelectGuard p(dc_, pen.Get());
        MoveToEx(dc_, X(x0), Y(y0), nullptr);
        LineTo(dc_, X(x1), Y(y1));
    }
    void Text(double x0, double y0, double x1, double y1, const char* text, COLORREF colour) {
        Font font(CreateFontA(-Y(7.5), 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, NONANTIALIASED_QUALITY, 0,
                              "Tahoma"));
        SelectGuard f(dc_, font.Get());
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, colour);
        RECT rc{X(x0), Y(y0), X(x1), Y(y1)};
        DrawTextA(dc_, text, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }

private:
    HDC dc_;
    double scale_;
    int left_;
};

void Folder(Painter& p) {
    p.Box(1, 3, 7, 6, kFolder, kFolderEdge);
    p.Box(1, 5, 15, 14, kFolder, kFolderEdge);
}

void Page(Painter& p, COLORREF edge = kOutline) {
    p.Shape({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}}, kPaper, edge);
    p.Line(10, 1, 10, 4, edge, 1);
    p.Line(10, 4, 13, 4, edge, 1);
}

void Value(Painter& p, bool text) {
    p.Box(1, 2, 13, 13, kPaper, RGB(112, 112, 112));
    if (text) p.Text(1, 2, 13, 12, "ab", RGB(192, 0, 0));
    else p.Text(1, 2, 13, 12, "01", RGB(0, 64, 192));
}

// Markers in the lower right corner: what happened to the item.
void Plus(Painter& p) {
    p.Box(9, 9, 16, 16, kPaper, kCreated);
    p.Line(12.5, 10, 12.5, 15, kCreated, 2);
    p.Line(10, 12.5, 15, 12.5, kCreated, 2);
}
void Cross(Painter& p) {
    p.Line(9.5, 9.5, 15, 15, kDeleted, 2.2);
    p.Line(15, 9.5, 9.5, 15, kDeleted, 2.2);
}
void Changed(Painter& p) { p.Shape({{12, 8}, {16, 12}, {12, 16}, {8, 12}}, kChanged, RGB(160, 80, 0)); }
void Raised(Painter& p) {
    p.Shape({{12, 8}, {16, 12}, {14, 12}, {14, 16}, {10, 16}, {10, 12}, {8, 12}}, kCounted, RGB(0, 32, 128));
}
void Arrow(Painter& p, bool out) {
    if (out) p.Shape({{7, 10}, {12, 10}, {12, 7}, {16, 12}, {12, 16}, {12, 14}, {7, 14}}, kMoved, kMoved);
    else p.Shape({{0, 10}, {5, 10}, {5, 7}, {9, 12}, {5, 16}, {5, 14}, {0, 14}}, kMoved, kMoved);
}

void DrawImage(Painter& p, int index) {
    switch (index) {
    case 0:  // My Computer: a monitor on its stand
        p.Box(1, 1, 15, 11, RGB(200, 200, 200), kOutline);
        p.Box(3, 3, 13, 9, RGB(40, 110, 200), RGB(20, 60, 120));
        p.Box(6, 11, 10, 13, RGB(160, 160, 160), kOutline);
        p.Box(3, 13, 13, 15, RGB(200, 200, 200), kOutline);
        break;
    case 1:  // File System: a folder in front of a disk
        p.Box(1, 2, 15, 8, RGB(210, 210, 210), kOutline);
        p.Box(11, 4, 13, 6, RGB(0, 200, 0), RGB(0, 120, 0));
        p.Box(3, 7, 7, 9, kFolder, kFolderEdge);
        p.Box(3, 8, 13, 15, kFolder, kFolderEdge);
        break;
    case 2:  // Registry: the blocks of a cube
        p.Shape({{8, 1}, {15, 4}, {8, 7}, {1, 4}}, RGB(120, 200, 250), RGB(20, 80, 140));
        p.Shape({{1, 4}, {8, 7}, {8, 15}, {1, 12}}, RGB(40, 120, 210), RGB(20, 80, 140));
        p.Shape({{8, 7}, {15, 4}, {15, 12}, {8, 15}}, RGB(20, 80, 160), RGB(20, 60, 120));
        break;
    case 3:  // Drive: a disk drive with its light
        p.Box(1, 5, 15, 12, RGB(215, 215, 215), kOutline);
        p.Line(2, 10, 14, 10, RGB(150, 150, 150), 1);
        p.Box(11, 7, 13, 9, RGB(0, 200, 0), RGB(0, 120, 0));
        break;
    case 4:  // a branch on the way: a plain folder
        Folder(p);
        break;
    case 5: Folder(p); Plus(p); break;
    case 6: Folder(p); Cross(p); break;
    case 7: Value(p, false); Plus(p); break;
    case 8: Value(p, false); Cross(p); break;
    case 9: Value(p, false); Changed(p); break;
    case 10: Value(p, false); Raised(p); break;
    case 11: Value(p, true); Plus(p); break;
    case 12: Value(p, true); Cross(p); break;
    case 13: Value(p, true); Changed(p); break;
    case 14: Value(p, true); Raised(p); break;
    case 15: Page(p); Plus(p); break;
    case 16: Page(p); Cross(p); break;
    case 17: Page(p); Changed(p); break;
    case 18: Page(p, RGB(160, 160, 160)); Arrow(p, true); break;   // moved away from here
    case 19: Page(p); Arrow(p, false); break;                       // moved here
    default: break;
    }
}

}  // namespace

ImageList CreateChangeImages(int size) {
    ImageList list(ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, kChangeImageCount, 0));
    if (!list) return list;
    // All images side by side in one strip on the mask colour.
    int width = size * kChangeImageCount;
    HDC screen = GetDC(nullptr);
    Bitmap strip(CreateCompatibleBitmap(screen, width, size));
    ReleaseDC(nullptr, screen);
    MemoryDc dc;
    {
        SelectGuard select(dc.Get(), strip.Get());
        RECT all{0, 0, width, size};
        Brush mask(CreateSolidBrush(kMaskColour));
        FillRect(dc.Get(), &all, mask.Get());
        for (int i = 0; i < kChangeImageCount; ++i) {
            // Clip to the image's own square: shapes drawn to its edge must
            // not touch the neighbour.
            int saved = SaveDC(dc.Get());
            IntersectClipRect(dc.Get(), i * size, 0, (i + 1) * size, size);
            Painter painter(dc.Get(), size, i * size);
            DrawImage(painter, i);
            RestoreDC(dc.Get(), saved);
        }
    }
    ImageList_AddMasked(list.Get(), strip.Get(), kMaskColour);
    return list;
}

}  // namespace kelvora::ui
