// The rules of the program's message box, apart from the window itself:
// which title, icon and buttons it shows, which button Enter and Escape
// press, what each answers, and where everything goes. The Windows dialog
// measures its font and texts, asks this module for the rectangles and only
// places its controls.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

// In the order in which the buttons stand from left to right.
enum class TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll };

// A set of buttons.
class TMsgDlgButtons {
public:
    TMsgDlgButtons() = default;
    TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> buttons) {
        for (TMsgDlgBtn b : buttons) bits_ |= Bit(b);
    }
    bool Contains(TMsgDlgBtn b) const { return (bits_ & Bit(b)) != 0; }

private:
    static std::uint16_t Bit(TMsgDlgBtn b) { return static_cast<std::uint16_t>(1u << static_cast<unsigned>(b)); }
    std::uint16_t bits_ = 0;
};

// What each button answers (the Windows IDOK ... numbers, and 8 to 10 for
// All, No to all and Yes to all).
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

// The system icon a box shows.
enum class TMsgDlgIcon { None, Exclamation, Stop, Information, Question };

struct TMsgDlgButton {
    TMsgDlgBtn Kind;
    std::string Caption;  // translated
    TModalResult Result;
    bool IsDefault;  // pressed by Enter
    bool IsCancel;   // pressed by Escape
};

// The contents of one message box, texts translated.
struct TMessageDialogContent {
    std::string Title;
    TMsgDlgIcon Icon;
    std::vector<TMsgDlgButton> Buttons;  // left to right
};

inline constexpr std::string_view kApplicationTitle = "Kelvora";

// Title (a custom box takes applicationTitle), icon and buttons of a box.
// Enter presses OK, else Yes, else Retry; Escape presses Cancel, else No,
// else OK (none when the box has none of them).
TMessageDialogContent MessageDialogContent(TMsgDlgType type, TMsgDlgButtons buttons,
                                           std::string_view applicationTitle = kApplicationTitle);

// What the dialog measured in its font. Widths and heights in pixels.
struct TMessageDialogMeasures {
    // Width of "A...Za...z" divided by 52 (integer division), and the text
    // height of the font.
    int AverageCharWidth = 0;
    int TextHeight = 0;
    // The message's extent when word-wrapped at MessageWrapWidth.
    int MessageWidth = 0;
    int MessageHeight = 0;
    // Each shown button's caption extent, left to right.
    std::vector<int> CaptionWidths;
    bool HasIcon = false;
};

// Width at which the message wraps: half the screen's width.
int MessageWrapWidth(int screenWidth);

struct TDlgRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TDlgRect&) const = default;
};

// Where everything goes, in client coordinates.
struct TMessageDialogLayout {
    int ClientWidth = 0;
    int ClientHeight = 0;
    TDlgRect Icon;  // 32 x 32 at the top-left margin; empty without icon
    TDlgRect Message;
    std::vector<TDlgRect> Buttons;  // left to right, all of one size, centred
};

// Margins 2w across and h down, 2.5w between icon and text, 1.25h between
// text and buttons; buttons 1.75h high, w apart, as wide as the larger of
// 12.5w and the widest caption plus 8 (w, h: average width and text height).
TMessageDialogLayout LayOutMessageDialog(const TMessageDialogMeasures& m);

}  // namespace kelvora
