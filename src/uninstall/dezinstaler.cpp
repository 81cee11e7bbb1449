#include "uninstall/dezinstaler.h"

#include <span>

#include "changes/chg_archive.h"
#include "changes/value_type.h"
#include "translation/messages.h"
#include "uninstall/uninstall_actions.h"

namespace kelvora {

namespace {

struct Phase {
    bool TSettings::*setting;
    const Message* status;
    TChangeKind kind;
};

// The phases in their order. Files go before the shared counters so that
// the unused shared files are known by then, and folders go last, when
// their files are gone.
constexpr Phase kRegistryPhases[] = {
    {&TSettings::DeleteValues, &RS_DEL_REG_VALS, ckRegValueCreated},
    {&TSettings::DeleteKey, &RS_DEL_REG_KEYS, ckRegKeyCreated},
    {&TSettings::RestoreValues, &RS_RESTORE_REG_VALS, ckRegValueChanged},
    {&TSettings::CreateKey, &RS_CREATE_REG_KEYS, ckRegKeyDeleted},
    {&TSettings::CreateValues, &RS_CREATE_REG_VALS, ckRegValueDeleted},
};
constexpr Phase kFilesPhase{&TSettings::DeleteFiles, &RS_DEL_FILES, ckFileCreated};
constexpr Phase kCountersPhase{&TSettings::DecSharedCounter, &RS_UPD_SHAREDS, ckSharedCounterIncremented};
constexpr Phase kFoldersPhase{&TSettings::DeleteFolders, &RS_DEL_FOLDERS, ckFolderCreated};

constexpr Phase kAllPhases[] = {kRegistryPhases[0], kRegistryPhases[1], kRegistryPhases[2], kRegistryPhases[3],
                                kRegistryPhases[4], kFilesPhase,        kCountersPhase,     kFoldersPhase};

std::vector<std::uint8_t> BlockBytes(const DataBlock& block, std::int32_t size) {
    if (!block.Present() || size <= 0) return {};
    return std::vector<std::uint8_t>(block.Get(), block.Get() + size);
}

}  // namespace

bool CannotBeUndone(std::int32_t kind) {
    return kind == ckFileChanged || kind == ckFileDeleted || kind == ckFolderDeleted;
}

std::size_t CountCannotBeUndone(const ChangesTree::Access& tree) {
    std::size_t count = 0;
    if (tree.FileSystem() == kNoNode) return 0;
    std::vector<NodeId> pending{tree.FileSystem()};
    while (!pending.empty()) {
        const NodeId node = pending.back();
        pending.pop_back();
        if (CannotBeUndone(tree.Data(node).Kind) && !tree.IsIgnored(node)) ++count;
        for (NodeId child = tree.FirstChild(node); child != kNoNode; child = tree.NextSibling(child)) {
            pending.push_back(child);
        }
    }
    return count;
}

// A copy of what an action needs from a node, so that the tree is not
// locked while the action and its log line run.
struct TDezinstaler::Change {
    TChangeKind Kind;
    std::uint32_t RootKey;
    std::string Path;
    std::string Name;
    std::uint32_t ValueType;
    std::vector<std::uint8_t> OldData;
    std::vector<std::uint8_t> NewData;
};

TDezinstaler::TDezinstaler(const UninstallServices& services)
    : TSafeThread(services.dispatcher),
      services_(services),
      settings_(services.context.Settings) {}

void TDezinstaler::Execute() {
    AppContext& context = services_.context;
    ErrorCount_ = 0;
    WarningCount_ = 0;

    int maximum = 0;
    for (const Phase& phase : kAllPhases) {
        if (settings_.*phase.setting) maximum += context.LoadedCounts[phase.kind];
    }
    Synchronize([&] { services_.view.SetProgressMax(maximum); });
    UnusedShared_.clear();

    NodeId registry = kNoNode;
    NodeId fileSystem = kNoNode;
    {
        const ChangesTree::Access tree = services_.tree.Lock();
        registry = tree.Registry();
        fileSystem = tree.FileSystem();
    }

    for (const Phase& phase : kRegistryPhases) {
        if (!(settings_.*phase.setting) || Terminated()) continue;
        ShowStatus(*phase.status);
        ProcessBranch(registry, phase.kind);
    }
    if (settings_.DeleteFiles && !Terminated()) {
        ShowStatus(*kFilesPhase.status);
        SharedFiles_ = BuildSharedFiles(services_.os.registry, services_.os.files);
        ProcessBranch(fileSystem, kFilesPhase.kind);
        SharedFiles_.reset();
    }
    if (settings_.DecSharedCounter && !Terminated()) {
        ShowStatus(*kCountersPhase.status);
        ProcessBranch(registry, kCountersPhase.kind);
        if (settings_.DeleteFiles && !Terminated()) RemoveShared();
    }
    if (settings_.DeleteFolders && !Terminated()) {
        ShowStatus(*kFoldersPhase.status);
        ProcessBranch(fileSystem, kFoldersPhase.kind);
    }
    if (!Terminated()) LogNotRestored(fileSystem);

    const std::string fileBase = context.ProgramFolder + "\\" + context.AppIdentifier;
    bool archiveDeleted = false;
    // A stop is the user's (wsStopped) or the owner's, who dropped the
    // worker: either way the run is incomplete.
    if (context.WizardState != TWizardState::wsStopped && !Terminated() && ErrorCount_ == 0) {
        if (settings_.AutoDelQor) archiveDeleted = services_.os.files.DeleteFile(fileBase + ".qor");
        std::string summary = TranslateString(RS_UNINST_NO_ERR);
        if (WarningCount_ > 0) {
            summary += CountText(RS_UNINST_WARNING_ONE, RS_UNINST_WARNING_MANY, static_cast<std::size_t>(WarningCount_));
        }
        ShowLogLine(summary, kLineSummary);
    }
    if (!archiveDeleted) {
        // A missing or locked archive keeps its use data; the run still ends
        // normally.
        try {
            TChgArchive archive(services_.os.files, services_.os.clock, fileBase);
            archive.MarkUsed();
        } catch (const std::exception&) {
        }
    }
    UnusedShared_.clear();
}

void TDezinstaler::ProcessBranch(NodeId node, TChangeKind kind) {
    if (node == kNoNode) return;
    std::vector<NodeId> nodes;
    std::vector<bool> checked;
    {
        const ChangesTree::Access tree = services_.tree.Lock();
        // Children before their parent, so deeper keys and folders go before
        // the key or folder that holds them.
        for (NodeId n : tree.PostOrder(node, services_.os.collation)) {
            if (tree.Data(n).Kind == kind) nodes.push_back(n);
        }
        checked.reserve(nodes.size());
        for (NodeId n : nodes) checked.push_back(tree.IsChecked(n));
    }
    for (std::size_t i = 0; i < nodes.size(); ++i) {
        PausePoint();
        if (Terminated()) return;
        StepProgress();
        if (!checked[i]) continue;
        const Change change = ReadChange(nodes[i]);
        std::string line;
        const Outcome outcome = DoAction(change, line);
        ShowOutcome(line + " ... " + TranslateString(*outcome.text), outcome);
    }
}

void TDezinstaler::ShowOutcome(const std::string& line, Outcome outcome) {
    if (outcome.IsError()) ++ErrorCount_;
    if (outcome.level == kLineWarning) ++WarningCount_;
    ShowLogLine(line, outcome.level);
}

// What the run leaves as it is because nothing recorded could bring it back:
// one warning each, so that a run "without errors" does not hide them.
void TDezinstaler::LogNotRestored(NodeId fileSystem) {
    if (fileSystem == kNoNode) return;
    std::vector<std::string> items;
    {
        const ChangesTree::Access tree = services_.tree.Lock();
        for (NodeId n : tree.PostOrder(fileSystem, services_.os.collation)) {
            const TNodeData& data = tree.Data(n);
            if (CannotBeUndone(data.Kind) && !tree.IsIgnored(n)) items.push_back(data.Path + "\\" + data.Name);
        }
    }
    const std::string prefix = TranslateString(RS_NOT_RESTORED);
    for (const std::string& item : items) {
        if (Terminated()) return;
        ++WarningCount_;
        ShowLogLine(prefix + item, kLineWarning);
    }
}

TDezinstaler::Change TDezinstaler::ReadChange(NodeId node) {
    const ChangesTree::Access tree = services_.tree.Lock();
    const TNodeData& data = tree.Data(node);
    return Change{data.Kind,
                  data.RootKey,
                  data.Path,
                  data.Name,
                  static_cast<std::uint32_t>(data.ValueType),
                  BlockBytes(data.OldData, data.OldSize),
                  BlockBytes(data.NewData, data.NewSize)};
}

Outcome TDezinstaler::DoAction(const Change& change, std::string& line) {
    platform::Registry& registry = services_.os.registry;
    const std::string root(RootKeyName(change.RootKey));
    const std::string key = change.Path.empty() ? change.Name : change.Path + "\\" + change.Name;
    const std::string value =
        root + "\\" + change.Path + "\\" + (change.Name.empty() ? TranslateString(RS_DEFAULT) : change.Name);
    const std::string item = change.Path + "\\" + change.Name;
    switch (change.Kind) {
        case ckRegValueCreated:
            line = TranslateString(RS_DEL_REG_VAL) + value;
            return DeleteRegistryValue(registry, change.RootKey, change.Path, change.Name);
        case ckRegKeyCreated:
            line = TranslateString(RS_DEL_REG_KEY) + root + "\\" + key;
            return DeleteRegistryKey(registry, change.RootKey, key);
        case ckRegValueChanged:
            line = TranslateString(RS_RESTORE_REG_VAL) + value;
            // The old data goes back under the old type, also when the
            // installation changed the value's type.
            return RestoreRegistryValue(registry, change.RootKey, change.Path, change.Name,
                                        TypeBefore(change.Kind, static_cast<std::int32_t>(change.ValueType)),
                                        change.OldData);
        case ckRegKeyDeleted:
            line = TranslateString(RS_CREATE_REG_KEY) + root + "\\" + key;
            return CreateRegistryKey(registry, change.RootKey, key);
        case ckRegValueDeleted:
            line = TranslateString(RS_CREATE_REG_VAL) + value;
            return CreateRegistryValue(registry, change.RootKey, change.Path, change.Name, change.ValueType,
                                       change.OldData);
        case ckSharedCounterIncremented:
            line = TranslateString(RS_UPD_SHARED) + change.Name;
            return UpdateSharedCounter(registry, change.RootKey, change.Path, change.Name, change.ValueType,
                                       change.NewData, UnusedShared_);
        case ckFileCreated:
            line = TranslateString(RS_DEL_FILE) + item;
            return DeleteCreatedFile(services_.os, item, SharedFiles_ ? &*SharedFiles_ : nullptr, settings_.UseRecycled);
        case ckFolderCreated:
            line = TranslateString(RS_DEL_FOLDER) + item;
            return DeleteCreatedFolder(services_.os.files, item);
        default:
            return kOutcomeOk;
    }
}

void TDezinstaler::RemoveShared() {
    ShowStatus(RS_REM_SHAREDS);
    // The question runs on the main thread while this thread waits.
    struct SynchronizedQuestion : IRemoveSharedQuestion {
        platform::Dispatcher& dispatcher;
        IRemoveSharedQuestion& question;
        SynchronizedQuestion(platform::Dispatcher& d, IRemoveSharedQuestion& q) : dispatcher(d), question(q) {}
        int AskRemoveShared(const std::string& fileName, const std::string& folder) override {
            int answer = 0;
            dispatcher.Synchronize([&] { answer = question.AskRemoveShared(fileName, folder); });
            return answer;
        }
    } question(services_.dispatcher, services_.question);
    RemoveUnusedShared(services_.os, UnusedShared_, question, *this, [&](const std::string& file, Outcome outcome) {
        ShowOutcome(TranslateString(RS_REM_SHARED) + file + " ... " + TranslateString(*outcome.text), outcome);
    });
}

void TDezinstaler::ShowLogLine(const std::string& line, std::int32_t level) {
    Synchronize([&] { services_.view.ShowLogLine(line, level); });
}

void TDezinstaler::ShowStatus(const Message& status) {
    const std::string text = TranslateString(status);
    Synchronize([&] { services_.view.ShowStatus(text); });
}

void TDezinstaler::StepProgress() {
    // Once a stop is requested the bar no longer moves.
    Synchronize([&] {
        if (!Terminated()) services_.view.StepProgress();
    });
}

}  // namespace kelvora
