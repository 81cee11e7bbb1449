#include "ui/print_changes.h"

#include "translation/messages.h"
#include "ui/framework/common_dialogs.h"
#include "ui/message_dlg.h"

namespace kelvora::ui {

namespace {

// The hourglass and a disabled owner for the length of a job.
class BusyWindow {
public:
    explicit BusyWindow(HWND owner)
        : owner_(owner), cursor_(SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)))) {
        EnableWindow(owner_, FALSE);
    }
    ~BusyWindow() {
        EnableWindow(owner_, TRUE);
        SetCursor(cursor_);
    }
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;

private:
    HWND owner_;
    HCURSOR cursor_;
};

}  // namespace

PrintHeading PrintHeadingOf(std::string_view identifier, std::string_view dateTime) {
    return {FormatText(TranslateString(RS_CHANGES), {identifier}), "Kelvora,    " + std::string(dateTime),
            TranslateString(RS_PAGE)};
}

void PrintChanges(HWND owner, const PrintJob& job) {
    PrinterChoice choice = ChoosePrinter(owner, job.NodeSelected);
    if (choice.Result == PrinterChoice::kCancelled) return;
    bool printed = false;
    if (choice.Result == PrinterChoice::kChosen) {
        BusyWindow busy(owner);
        const PrintHeading heading = PrintHeadingOf(job.Identifier, job.DateTime);
        printed = PrintOnPrinter(choice.Printer.Get(), heading.Title, job.Font, heading,
                                 job.Lines(choice.Selection && job.NodeSelected));
    }
    if (!printed) ShowMessageDlg(TranslateString(RS_PRINT_ERROR), TMsgDlgType::mtError, {TMsgDlgBtn::mbOK});
}

}  // namespace kelvora::ui
