#include "export/report_icons.h"

#include <string_view>

namespace kelvora {

namespace {

constexpr std::string_view kOutline = "#404040";
constexpr std::string_view kFolder = "#facc54";
constexpr std::string_view kFolderEdge = "#b08018";
constexpr std::string_view kPaper = "#ffffff";
constexpr std::string_view kCreated = "#10a020";
constexpr std::string_view kDeleted = "#d82020";
constexpr std::string_view kChanged = "#f08c00";
constexpr std::string_view kCounted = "#2060e0";
constexpr std::string_view kMoved = "#8040c0";

class Svg {
public:
    void Box(double x0, double y0, double x1, double y1, std::string_view fill, std::string_view edge) {
        s_ += "<rect x='" + N(x0 + 0.5) + "' y='" + N(y0 + 0.5) + "' width='" + N(x1 - x0 - 1) + "' height='" +
              N(y1 - y0 - 1) + "' fill='" + std::string(fill) + "' stroke='" + std::string(edge) + "'/>";
    }
    void Shape(std::initializer_list<std::pair<double, double>> pts, std::string_view fill, std::string_view edge) {
        s_ += "<polygon points='";
        for (auto [x, y] : pts) s_ += N(x) + "," + N(y) + " ";
        s_ += "' fill='" + std::string(fill) + "' stroke='" + std::string(edge) + "'/>";
    }
    void Line(double x0, double y0, double x1, double y1, std::string_view colour, double width) {
        s_ += "<line x1='" + N(x0) + "' y1='" + N(y0) + "' x2='" + N(x1) + "' y2='" + N(y1) + "' stroke='" +
              std::string(colour) + "' stroke-width='" + N(width) + "'/>";
    }
    void Text(std::string_view text, std::string_view colour) {
        s_ += "<text x='7' y='10.5' font-family='Tahoma,Verdana,sans-serif' font-size='7.5' font-weight='bold' "
              "text-anchor='middle' fill='" + std::string(colour) + "'>" + std::string(text) + "</text>";
    }
    std::string Done() { return "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 16 16'>" + s_ + "</svg>"; }

private:
    static std::string N(double v) {
        std::string t = std::to_string(v);
        t.erase(t.find_last_not_of('0') + 1);
        if (t.back() == '.') t.pop_back();
        return t;
    }
    std::string s_;
};

void Folder(Svg& p) {
    p.Box(1, 3, 7, 6, kFolder, kFolderEdge);
    p.Box(1, 5, 15, 14, kFolder, kFolderEdge);
}
void Page(Svg& p, std::string_view edge = kOutline) {
    p.Shape({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}}, kPaper, edge);
    p.Line(10, 1, 10, 4, edge, 1);
    p.Line(10, 4, 13, 4, edge, 1);
}
void Value(Svg& p, bool text) {
    p.Box(1, 2, 13, 13, kPaper, "#707070");
    if (text) p.Text("ab", "#c00000");
    else p.Text("01", "#0040c0");
}
void Plus(Svg& p) {
    p.Box(9, 9, 16, 16, kPaper, kCreated);
    p.Line(12.5, 10, 12.5, 15, kCreated, 2);
    p.Line(10, 12.5, 15, 12.5, kCreated, 2);
}
void Cross(Svg& p) {
    p.Line(9.5, 9.5, 15, 15, kDeleted, 2.2);
    p.Line(15, 9.5, 9.5, 15, kDeleted, 2.2);
}
void Changed(Svg& p) { p.Shape({{12, 8}, {16, 12}, {12, 16}, {8, 12}}, kChanged, "#a05000"); }
void Raised(Svg& p) {
    p.Shape({{12, 8}, {16, 12}, {14, 12}, {14, 16}, {10, 16}, {10, 12}, {8, 12}}, kCounted, "#002080");
}
void Arrow(Svg& p, bool out) {
    if (out) p.Shape({{7, 10}, {12, 10}, {12, 7}, {16, 12}, {12, 16}, {12, 14}, {7, 14}}, kMoved, kMoved);
    else p.Shape({{0, 10}, {5, 10}, {5, 7}, {9, 12}, {5, 16}, {5, 14}, {0, 14}}, kMoved, kMoved);
}

}  // namespace

std::string ChangeIconSvg(int index) {
    Svg p;
    switch (index) {
        case 0:
            p.Box(1, 1, 15, 11, "#c8c8c8", kOutline);
            p.Box(3, 3, 13, 9, "#286ec8", "#143c78");
            p.Box(6, 11, 10, 13, "#a0a0a0", kOutline);
            p.Box(3, 13, 13, 15, "#c8c8c8", kOutline);
            break;
        case 1:
            p.Box(1, 2, 15, 8, "#d2d2d2", kOutline);
            p.Box(11, 4, 13, 6, "#00c800", "#007800");
            p.Box(3, 7, 7, 9, kFolder, kFolderEdge);
            p.Box(3, 8, 13, 15, kFolder, kFolderEdge);
            break;
        case 2:
            p.Shape({{8, 1}, {15, 4}, {8, 7}, {1, 4}}, "#78c8fa", "#14508c");
            p.Shape({{1, 4}, {8, 7}, {8, 15}, {1, 12}}, "#2878d2", "#14508c");
            p.Shape({{8, 7}, {15, 4}, {15, 12}, {8, 15}}, "#1450a0", "#143c78");
            break;
        case 3:
            p.Box(1, 5, 15, 12, "#d7d7d7", kOutline);
            p.Line(2, 10, 14, 10, "#969696", 1);
            p.Box(11, 7, 13, 9, "#00c800", "#007800");
            break;
        case 4: Folder(p); break;
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
        case 18: Page(p, "#a0a0a0"); Arrow(p, true); break;
        case 19: Page(p); Arrow(p, false); break;
        default: break;
    }
    return p.Done();
}

}  // namespace kelvora
