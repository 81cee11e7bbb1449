// What the wizard needs of the window that shows it: showing the screen,
// message boxes, focus, the list of monitored applications, the changes
// tree's view, small dialogs and the close. The main window implements it;
// the tests record it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "translation/message_dialog.h"
#include "workflow/wizard_screen.h"

namespace kelvora {

// The controls the wizard may send the focus to.
enum class TFocus { edIdentif, edOthers, edSetupPath, btnNext, btnExit };

// One row of the list of monitored applications: its cells as shown, and
// the values behind them for sorting.
struct TArchiveRow {
    std::string Identifier;
    std::string Created;
    std::string LastUsed;
    std::string Uses;
    double CreatedDate = 0.0;
    double LastUsedDate = 0.0;
    int UseCount = 0;
};

class IWizardHost {
public:
    virtual ~IWizardHost() = default;

    // The screen changed; show it.
    virtual void ShowScreen(const TWizardScreen& screen) = 0;
    // A translated message box; answers the button chosen.
    virtual TModalResult Message(std::string_view text, TMsgDlgType type, TMsgDlgButtons buttons) = 0;
    virtual void Focus(TFocus control) = 0;

    // The list lvQorFiles: its rows stay in the order the user sorted them.
    virtual void ListClear() = 0;
    virtual void ListAdd(const TArchiveRow& row) = 0;
    // Selects the first row (in the list's order), when there is one.
    virtual void ListSelectFirst() = 0;
    // The identifier of the selected row.
    virtual std::optional<std::string> ListSelected() = 0;
    virtual void ListRenameSelected(std::string_view identifier) = 0;
    virtual void ListRemoveSelected() = 0;
    // A date and time (days since 30 December 1899) in the user's format:
    // the short date, a space and the long time (left out at midnight).
    virtual std::string DateTimeText(double when) = 0;

    // The changes tree's view: the model was cleared and framed (forget the
    // rows); expand the root; the fill has ended (collapse everything, then
    // expand "My Computer", "File System" and "Registry").
    virtual void TreeReset() = 0;
    virtual void TreeExpandRoot() = 0;
    virtual void TreeFinishForViewing() = 0;

    // The on-screen log reLog: emptied, or one line appended in the colour
    // of its level (kLine* of uninstall_log.h).
    virtual void LogClear() = 0;
    virtual void LogAdd(const std::string& line, std::int32_t level) = 0;
    // The shared-file question (TdlgRemoveShared) for folder + fileName;
    // answers a kAnswer* value of shared_files.h.
    virtual int AskRemoveShared(const std::string& fileName, const std::string& folder) = 0;

    // The rename dialog: answers the text confirmed with OK.
    virtual std::optional<std::string> AskNewName(std::string_view current) = 0;
    // The setup program's file dialog: answers the chosen file.
    virtual std::optional<std::string> ChooseSetupFile(std::string_view initialFolder) = 0;
    // Closes the window as its close box does (the close may still refuse).
    virtual void CloseWindow() = 0;
};

}  // namespace kelvora
