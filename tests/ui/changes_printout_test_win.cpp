// The printout drawn on a bitmap of printer size (A4 at 300 dots per inch),
// read back pixel by pixel: every line's icon in its column with its text
// beside it, nothing below the bottom margin, and (with KELVORA_PRINT_PAGES
// set to a folder) the pages written as bitmaps for tools/print-pages.sh.
// Wine has no printer: the print dialog fails, and the job says so.
#include "ui/changes_printout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "changes/changes_tree.h"
#include "settings/settings.h"
#include "platform/win32/collation_win.h"
#include "support/change_records.h"
#include "support/gui_win.h"
#include "support/modal_robot_win.h"
#include "ui/framework/common_dialogs.h"
#include "ui/framework/gdi.h"
#include "ui/print_changes.h"

namespace kelvora::ui {
namespace {

using test::Rec;

constexpr DevicePage kA4{2480, 3508, 300};
constexpr int kFontHeight = 33;           // 8 points at 300 dpi
constexpr int kIcon = 33;                 // max(font height, 16)
constexpr int kStep = kIcon + 4;          // IndentStep
constexpr int kKeyIconX = 50 + 2 * kStep;  // key, folder and group lines
constexpr int kItemIconX = 50 + 3 * kStep;

std::string Dword(std::uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

// A monitoring's worth of changes: folders of files, keys with values of
// every kind, a key path and a value too long for one printed row.
std::vector<DocLine> SampleDocument(int filesPerFolder) {
    TSettings settings;
    ChangesTree tree(settings);
    tree.StartFill(false);
    const TChangeKind fileKinds[] = {ckFileCreated, ckFileChanged, ckFileDeleted};
    for (const char* folder : {"C:\\Program Files\\Vendor\\App", "C:\\Program Files\\Vendor\\App\\plugins",
                               "C:\\Windows\\System32"}) {
        for (int i = 0; i < filesPerFolder; ++i) {
            TChangeKind kind = fileKinds[i % 3];
            TNodeData d = Rec(kind, folder);
            if (kind != ckFileCreated) d.SetOldText("09:00 01/02/2026 1,024");
            if (kind != ckFileDeleted) d.SetNewText("10:00 01/02/2026 2,048");
            tree.AddToTree(folder, "file" + std::to_string(i) + ".dll", std::move(d));
        }
    }
    tree.AddToTree("C:\\Program Files\\Vendor", "App", Rec(ckFolderCreated, "C:\\Program Files\\Vendor"));
    tree.AddToTree("C:\\Temp", "setup.log", Rec(ckFileMovedFrom, "C:\\Temp"));
    auto reg = [&](TNodeData d, const std::string& name) {
        const std::string at = "HKEY_LOCAL_MACHINE\\" + d.Path;
        tree.AddToTree(at, name, std::move(d));
    };
    const std::string deep = "Software\\Classes\\CLSID\\{0123ABCD-4567-89EF-0123-456789ABCDEF}\\InprocServer32\\"
                             "Settings\\Very Long Key Name That Keeps Going\\And Going";
    reg(Rec(ckRegKeyCreated, "Software\\Vendor", test::kHklm), "App");
    reg(Rec(ckRegKeyCreated, deep, test::kHklm), "Leaf");
    for (int i = 0; i < filesPerFolder; ++i) {
        reg(Rec(ckRegValueCreated, "Software\\Vendor\\App", test::kHklm, 1, "",
                std::string("C:\\Program Files\\Vendor\\App\0", 29)),
            "Path" + std::to_string(i));
        reg(Rec(ckRegValueChanged, "Software\\Vendor\\App", test::kHklm, 4, Dword(1), Dword(2)),
            "Count" + std::to_string(i));
    }
    reg(Rec(ckRegValueCreated, "Software\\Vendor\\App", test::kHklm, 3, "", std::string(300, '\x5A')), "Blob");
    reg(Rec(ckSharedCounterIncremented, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", test::kHklm, 4,
            "", Dword(3)),
        "C:\\Windows\\System32\\shared.dll");
    tree.FinishFill();
    auto access = tree.Lock();
    return BuildDocument(access, kNoNode, true, CellWords::Translated(), platform::win32::UserCollation());
}

// A white 24-bit page the size of a printer's; analysed when it ends.
class BitmapPages : public PageEvents {
public:
    explicit BitmapPages(const DevicePage& page) : page_(page), stride_((page.Width * 3 + 3) & ~3) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = page.Width;
        info.bmiHeader.biHeight = -page.Height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<std::uint8_t*>(bits);
        select_.emplace(dc_.Get(), bitmap_.Get());
    }
    HDC Dc() const { return dc_.Get(); }

    bool Begin(HDC, int) override {
        const RECT all{0, 0, page_.Width, page_.Height};
        FillRect(dc_.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        return true;
    }
    bool End(HDC, int number) override {
        GdiFlush();
        Analyse(number);
        if (const char* folder = std::getenv("KELVORA_PRINT_PAGES")) Save(folder, number);
        ++pages;
        return true;
    }

    int pages = 0;
    int inked_in_bottom_margin = 0;
    // Icons found in the item and key columns (a run of rows with colour),
    // and how many had no text to their right.
    int item_icons = 0;
    int key_icons = 0;
    int icons_without_text = 0;

private:
    const std::uint8_t* Pixel(int x, int y) const { return bits_ + y * stride_ + x * 3; }
    bool Ink(int x, int y) const {
        const std::uint8_t* p = Pixel(x, y);
        return p[0] < 200 || p[1] < 200 || p[2] < 200;
    }
    bool Colour(int x, int y) const {
        const std::uint8_t* p = Pixel(x, y);
        return std::max({p[0], p[1], p[2]}) - std::min({p[0], p[1], p[2]}) > 60;
    }
    bool RowHas(int y, int x0, int x1, bool colour) const {
        for (int x = x0; x < x1; ++x) if (colour ? Colour(x, y) : Ink(x, y)) return true;
        return false;
    }
    // Counts the icons in a column: runs of rows with colour, runs less
    // than 8 rows apart belonging to one icon; each needs text beside it.
    int Icons(int x) {
        int count = 0;
        int y = 0;
        while (y < page_.Height) {
            if (!RowHas(y, x, x + kIcon, true)) {
                ++y;
                continue;
            }
            const int top = y;
            int last = y;
            while (y < page_.Height && y - last < 8) {
                if (RowHas(y, x, x + kIcon, true)) last = y;
                ++y;
            }
            ++count;
            bool text = false;
            for (int row = top; row <= last && !text; ++row) text = RowHas(row, x + kStep + 4, page_.Width - 50, false);
            if (!text) ++icons_without_text;
        }
        return count;
    }
    void Analyse(int) {
        for (int y = page_.Height - kPrintBottom; y < page_.Height; ++y) {
            if (RowHas(y, 0, page_.Width, false)) ++inked_in_bottom_margin;
        }
        item_icons += Icons(kItemIconX);
        key_icons += Icons(kKeyIconX);
    }
    void Save(const char* folder, int number) const {
        BITMAPFILEHEADER file{};
        BITMAPINFOHEADER info{};
        info.biSize = sizeof(info);
        info.biWidth = page_.Width;
        info.biHeight = -page_.Height;
        info.biPlanes = 1;
        info.biBitCount = 24;
        const DWORD size = static_cast<DWORD>(stride_) * page_.Height;
        file.bfType = 0x4D42;  // "BM"
        file.bfOffBits = sizeof(file) + sizeof(info);
        file.bfSize = file.bfOffBits + size;
        std::ofstream out(std::string(folder) + "\\page-" + std::to_string(number) + ".bmp", std::ios::binary);
        out.write(reinterpret_cast<const char*>(&file), sizeof(file));
        out.write(reinterpret_cast<const char*>(&info), sizeof(info));
        out.write(reinterpret_cast<const char*>(bits_), size);
    }

    DevicePage page_;
    int stride_;
    MemoryDc dc_;
    Bitmap bitmap_;
    std::uint8_t* bits_ = nullptr;
    std::optional<SelectGuard> select_;
};

TEST(ChangesPrintout, PagesOfPrinterSizeHoldEveryLineWithItsIconAboveTheBottomMargin) {
    const std::vector<DocLine> lines = SampleDocument(30);
    int items = 0, keys = 0;
    for (const DocLine& l : lines) {
        items += l.LineForm == DocLine::kItem || l.LineForm == DocLine::kChanged;
        keys += l.LineForm == DocLine::kKeyOrFolder || l.LineForm == DocLine::kGroup;
    }
    BitmapPages pages(kA4);
    ASSERT_TRUE(DrawDocument(pages.Dc(), kA4, PrintFont{}, PrintHeadingOf("App", "1/2/2026 10:00:00"), lines, pages));
    EXPECT_GE(pages.pages, 2);
    EXPECT_EQ(pages.inked_in_bottom_margin, 0);
    EXPECT_EQ(pages.item_icons, items);
    EXPECT_EQ(pages.key_icons, keys);
    EXPECT_EQ(pages.icons_without_text, 0);
}

// Without a printer (as under Wine) the Print button ends in the program's
// "Printing error !", and a device context that is no printer's refuses a
// job.
TEST(ChangesPrintout, WithoutAPrinterThePrintButtonReportsAPrintingError) {
    if (PrinterInstalled()) GTEST_SKIP() << "a printer is installed";
    test::HostWindow host;
    ASSERT_TRUE(host.Create());
    std::string shown;
    bool asked = false;
    {
        test::ModalRobot robot("printing error", test::WindowOfClass("TMessageForm"), {[&](HWND box) {
                                   shown = test::WindowText(box);
                                   EnumChildWindows(
                                       box,
                                       [](HWND child, LPARAM text) -> BOOL {
                                           *reinterpret_cast<std::string*>(text) += "|" + test::WindowText(child);
                                           return TRUE;
                                       },
                                       reinterpret_cast<LPARAM>(&shown));
                                   test::PressKey(box, VK_RETURN);
                               }});
        PrintChanges(host.Handle(), {"App", "now", {}, true, [&](bool) {
                                         asked = true;
                                         return std::vector<DocLine>{};
                                     }});
    }
    EXPECT_NE(shown.find("Error|"), std::string::npos) << shown;
    EXPECT_NE(shown.find("|Printing error !"), std::string::npos) << shown;
    EXPECT_FALSE(asked);
    EXPECT_TRUE(IsWindowEnabled(host.Handle()));
    MemoryDc screen;
    EXPECT_FALSE(PrintOnPrinter(screen.Get(), "App", PrintFont{}, PrintHeadingOf("App", "now"), SampleDocument(1)));
}

}  // namespace
}  // namespace kelvora::ui
