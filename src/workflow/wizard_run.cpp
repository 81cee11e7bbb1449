// The run page (run modes, starting the setup program, drops), the resumed
// start and the list of monitored applications.
#include "changes/chg_archive.h"
#include "changes/identifier.h"
#include "monitoring/monitoring.h"
#include "monitoring/targets.h"
#include "platform/text.h"
#include "translation/messages.h"
#include "workflow/existing_archive.h"
#include "workflow/wizard.h"

#include <cstdio>

namespace kelvora {

namespace {

// The folder part of a path with its trailing backslash ("" for none).
std::string FolderOf(std::string_view path) {
    const std::size_t cut = path.find_last_of("\\:");
    return cut == std::string_view::npos ? std::string() : std::string(path.substr(0, cut + 1));
}

// An exit or error code as people look it up: small ones in decimal, the
// status codes of a crashed process (0xC0000135 ...) in hexadecimal.
std::string ExitCodeText(std::uint32_t code) {
    if (code < 0x10000) return std::to_string(code);
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(code));
    return text;
}

}  // namespace

// -------------------------------------------------------------- run page

void TWizard::EnterRunPage() {
    screen_.Page = TPage::pnlRun;
    screen_.BackEnabled = false;
    screen_.RunModesEnabled = true;
    // The mode chosen the last time stays; its own rules (Next, the path's
    // field, the status and the state) apply again, so a mode that rescans
    // at Next also finds the state that rescans.
    RunModeClick(screen_.RunMode);
    host_.Focus(TFocus::edSetupPath);
    WriteRunAtLogon(os_, programFile_);
    context_.LogonTaskRegistered = true;
    context_.SetupWindow = {0, 0, context_.SetupWindow.Scanned};
    WriteResumeMarker(os_.files, context_.ProgramFolder, context_.AppIdentifier);
}

void TWizard::RunModeClick(TRunMode mode) {
    if (screen_.Page != TPage::pnlRun || !screen_.RunModesEnabled) return;
    screen_.RunMode = mode;
    const bool una = mode == TRunMode::rbUna;
    screen_.SetupPathEnabled = screen_.BrowseEnabled = una;
    switch (mode) {
    case TRunMode::rbUna:
        screen_.NextEnabled = !screen_.SetupPath.empty();
        screen_.Status = TranslateString(RS_SETUP_PATH);
        SetState(TWizardState::wsScanned);
        break;
    case TRunMode::rbMulte:
        screen_.NextEnabled = false;
        screen_.Status = TranslateString(RS_EXIT_MANUAL_RUN);
        SetState(TWizardState::wsScanned);
        break;
    case TRunMode::rbStarted:
        screen_.NextEnabled = true;
        screen_.Status = TranslateString(RS_NEXT_RESCAN_CONT);
        SetState(TWizardState::wsSetupRunning);
        break;
    }
    Show();
}

void TWizard::edSetupPathChange(std::string_view text) {
    screen_.SetupPath = std::string(text);
    // Whatever the mode: a path can always be started. (The first page
    // fills the field too, but there Next follows the first page.)
    if (screen_.Page == TPage::pnlRun) screen_.NextEnabled = !screen_.SetupPath.empty();
    Show();
}

void TWizard::btnBrowseClick() {
    if (!screen_.BrowseEnabled) return;
    if (auto chosen = host_.ChooseSetupFile(context_.Settings.LastAppRunPath)) edSetupPathChange(*chosen);
}

void TWizard::dndSetupItem(std::string_view path) {
    if (screen_.Page == TPage::pnlRun) edSetupPathChange(path);
}

void TWizard::FilesDropped(const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        if (screen_.Page == TPage::pnlFirst) dndFirstDnDItem(file);
        else if (screen_.Page == TPage::pnlRun) dndSetupItem(file);
    }
}

void TWizard::dndFirstDnDItem(std::string_view path) {
    if (screen_.Page != TPage::pnlFirst) return;
    edSetupPathChange(path);
    // The file's name; for a generic setup name, the name of its folder.
    // Not filtered here: Next refuses an identifier that cannot name a file.
    const std::size_t slash = path.find_last_of('\\');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::string upper = UpperAscii(name);
    if (upper == "SETUP.EXE" || upper == "INSTALL.EXE") {
        std::string_view folder = slash == std::string_view::npos ? std::string_view() : path.substr(0, slash);
        const std::size_t up = folder.find_last_of('\\');
        name = up == std::string_view::npos ? folder : folder.substr(up + 1);
    }
    edIdentifChange(name);
}

void TWizard::Launch() {
    setupWatch_.reset();
    auto token = std::make_shared<int>();
    const std::weak_ptr<int> current = token;
    std::uint32_t error = 0;
    // The setup's time window opens just before it starts; it closes when
    // the user says the setup has finished (Next, Rescan).
    const std::uint64_t start = os_.clock.FileTimeNow();
    auto watch = os_.shell.Start(screen_.SetupPath, "", [this, &dispatcher = dispatcher_, current](std::uint32_t code) {
        dispatcher.Post([this, current, code] {
            if (current.lock()) SetupEnded(code);
        });
    }, error);
    if (!watch) {
        Error(FormatText(TranslateString(RS_CANT_EXECUTE), {screen_.SetupPath}));
        screen_.Status = FormatText(TranslateString(RS_SETUP_NOT_STARTED), {ExitCodeText(error)});
        Show();
        host_.Focus(TFocus::edSetupPath);
        return;
    }
    setupToken_ = std::move(token);
    setupWatch_ = std::move(watch);
    context_.SetupWindow = {start, 0, context_.SetupWindow.Scanned};
    SetState(TWizardState::wsSetupRunning);
    screen_.BrowseEnabled = false;
    screen_.Status = TranslateString(RS_NEXT_RESCAN_CONT);
    screen_.BackEnabled = false;
    screen_.SetupPathEnabled = false;
    screen_.RunModesEnabled = false;
    context_.Settings.LastAppRunPath = FolderOf(screen_.SetupPath);
}

void TWizard::SetupEnded(std::uint32_t exitCode) {
    setupWatch_.reset();
    setupToken_.reset();
    // A setup that ended well, or whose end no longer matters (the rescan
    // has begun), is not spoken of.
    if (exitCode == 0 || screen_.Page != TPage::pnlRun || State() != TWizardState::wsSetupRunning) return;
    // Whatever it did is found by a rescan (Next), or another setup can be
    // started in its place.
    screen_.RunModesEnabled = true;
    RunModeClick(TRunMode::rbStarted);
    screen_.Status = FormatText(TranslateString(RS_SETUP_FAILED), {ExitCodeText(exitCode)});
    Show();
}

// --------------------------------------------------------- resumed start

void TWizard::ResumedStart() {
    const std::optional<std::string> identifier = ReadResumeMarker(os_.files, context_.ProgramFolder);
    if (identifier) {
        if (auto error = IdentifierError(*identifier, context_.ProgramFolder)) {
            // The marker stays for kelvora-cli or a later look; nothing
            // is rescanned under a name that cannot be an archive.
            Error(*error);
        } else {
            context_.AppIdentifier = *identifier;
            // The setup ran before the restart, at a time not known; the
            // logon task that started this run is the monitoring's own.
            context_.SetupWindow = {};
            context_.LogonTaskRegistered = true;
            screen_.Page = TPage::pnlTree;
            screen_.Title = InstallingTitle();
            screen_.Status = TranslateString(RS_NEXT_RESCAN);
            const int steps = UpdateTargetsPage();
            // The first scan's share of the bar is done.
            screen_.ProgressPosition = steps;
            SetState(TWizardState::wsResumed);
            return;
        }
    }
    FillArchiveList();
    UpdateFirstPage();
}

// ------------------------------------------------------ monitored list

void TWizard::FillArchiveList() {
    host_.ListClear();
    // Read-only and archive files only: hidden and system files and
    // folders are not listed.
    constexpr std::uint32_t kSkipped = platform::kAttrHidden | platform::kAttrSystem | platform::kAttrDirectory;
    std::vector<std::string> names;
    os_.files.List(context_.ProgramFolder + "\\*" + std::string(kArchiveExtension), [&](const platform::FindEntry& e) {
        if ((e.attributes & kSkipped) == 0 && e.name.size() > kArchiveExtension.size()) names.push_back(e.name);
        return true;
    });
    for (const std::string& name : names) {
        TArchiveRow row;
        row.Identifier = name.substr(0, name.size() - kArchiveExtension.size());
        TChgArchive archive(os_.files, os_.clock, ArchiveFileBase(context_.ProgramFolder, row.Identifier));
        archive.Open();
        // A file shorter than a header shows its name only.
        TChgHeader header;
        if (archive.GetHeader(header)) {
            row.Created = host_.DateTimeText(header.Created);
            if (header.LastUsed != 0.0) row.LastUsed = host_.DateTimeText(header.LastUsed);
            row.Uses = std::to_string(header.UseCount);
            row.CreatedDate = header.Created;
            row.LastUsedDate = header.LastUsed;
            row.UseCount = header.UseCount;
        }
        host_.ListAdd(row);
    }
    if (!names.empty()) host_.ListSelectFirst();
}

int TWizard::CompareListRows(const TArchiveRow& x, const TArchiveRow& y, int column) const {
    auto compare = [](double a, double b) { return (a > b) - (a < b); };
    switch (column) {
    case 1: return compare(x.CreatedDate, y.CreatedDate);
    case 2: return compare(x.LastUsedDate, y.LastUsedDate);
    case 3: return compare(x.UseCount, y.UseCount);
    default: return os_.collation.Compare(x.Identifier, y.Identifier);
    }
}

void TWizard::btnRenameClick() {
    const std::optional<std::string> selected = host_.ListSelected();
    if (!selected) return;
    const std::optional<std::string> name = host_.AskNewName(*selected);
    if (!name) return;
    if (auto error = IdentifierError(*name, context_.ProgramFolder)) {
        Error(*error);
        return;
    }
    if (RenameMeetsArchive(os_.files, context_.ProgramFolder, *selected, *name)) {
        Error(FormatText(TranslateString(RS_RENAME_EXISTS), {*name}));
        return;
    }
    const std::string ext(kArchiveExtension);
    if (os_.files.Rename(ArchiveFileBase(context_.ProgramFolder, *selected) + ext,
                         ArchiveFileBase(context_.ProgramFolder, *name) + ext)) {
        host_.ListRenameSelected(*name);
    } else {
        Error(TranslateString(RS_RENAME_FAILED));
    }
    Show();
}

void TWizard::btnRemoveClick() {
    const std::optional<std::string> selected = host_.ListSelected();
    if (!selected) return;
    TModalResult answer = mrNone;
    if (Ask(RS_REMOVE_ITEM, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}, mrYes, answer)) {
        if (os_.files.DeleteFile(ArchiveFileBase(context_.ProgramFolder, *selected) + std::string(kArchiveExtension))) {
            host_.ListRemoveSelected();
        } else {
            Error(TranslateString(RS_DELETE_FAILED));
        }
    }
    UpdateFirstPage();
    Show();
}

}  // namespace kelvora
