// list, show, export, rename and delete: the monitored applications.
#include <algorithm>

#include "changes/activity.h"
#include "changes/chg_archive.h"
#include "changes/text_export.h"
#include "cli/cli_internal.h"
#include "cli/cli_messages.h"
#include "cli/display_width.h"

namespace kelvora::cli {

namespace {

// Pads every column but the last to its widest cell, as the console shows
// them (a name may hold any character).
std::string Table(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(row[c]));
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += row[c];
            if (c + 1 < row.size()) line += std::string(widths[c] - DisplayWidth(row[c]) + 2, ' ');
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + "\n";
    }
    return text;
}

}  // namespace

int List(CliEnv& env) {
    std::vector<std::vector<std::string>> rows{{TranslateString(RS_NAME), TranslateString(RS_CREATED),
                                                TranslateString(RS_LAST_USED), TranslateString(RS_USES)}};
    // Read-only and archive files only: hidden and system files and folders
    // are not listed.
    constexpr std::uint32_t kSkipped = platform::kAttrHidden | platform::kAttrSystem | platform::kAttrDirectory;
    std::vector<std::string> names;
    env.os.files.List(env.context.ProgramFolder + "\\*.qor", [&](const platform::FindEntry& entry) {
        if ((entry.attributes & kSkipped) == 0 && entry.name.size() > 4) names.push_back(entry.name);
        return true;
    });
    for (const std::string& name : names) {
        const std::string identifier = name.substr(0, name.size() - 4);
        TChgArchive archive(env.os.files, env.os.clock, ArchiveFileBase(env.context.ProgramFolder, identifier));
        archive.Open();
        TChgHeader header;
        // A file shorter than a header shows its name only.
        if (!archive.GetHeader(header)) {
            rows.push_back({identifier, "", "", ""});
            continue;
        }
        rows.push_back({identifier, env.console.DateTimeText(header.Created, true),
                        header.LastUsed == 0.0 ? std::string() : env.console.DateTimeText(header.LastUsed, true),
                        std::to_string(header.UseCount)});
    }
    env.console.Write(Table(rows));
    return kExitOk;
}

int ShowOrExport(const CliCommand& command, CliEnv& env, const std::string& exportPath) {
    const std::string& identifier = command.Arguments[0];
    ChangesTree tree(env.context.Settings);
    if (int status = LoadArchive(env, identifier, tree, false); status != kExitOk) return status;
    const std::string now = env.console.DateTimeText(env.os.clock.Now(), false);
    auto access = tree.Lock();
    if (command.Verb == CliVerb::kExport) {
        if (!ExportChanges(env.os.files, env.os.collation, exportPath, access, kNoNode, identifier, now,
                           command.Hexa)) {
            return Fail(env, kExitFailed, TranslateString(RS_EXPORT_ERROR));
        }
        env.console.Write(FormatText(TranslateString(RS_CLI_EXPORTED), {identifier, exportPath}) + "\n");
        return kExitOk;
    }
    // Written in pieces as the walk goes: a tree of a million changes makes
    // a text of a hundred megabytes.
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    const MarkWords marks = MarkWords::Translated();
    std::string text = ExportHeading(identifier, now);
    ForEachDocLine(access, kNoNode, command.Hexa, CellWords::Translated(), env.os.collation, [&](DocLine&& line) {
        AppendExportLine(text, line, marks);
        if (text.size() >= kPiece) {
            env.console.Write(text);
            text.clear();
        }
    });
    // The export's lines end with CR LF, and so does the count after them.
    text += "\r\n" + ChangeCountsText(CountChanges(access)) + "\r\n";
    env.console.Write(text);
    return kExitOk;
}

int Rename(const CliCommand& command, CliEnv& env) {
    const std::string& from = command.Arguments[0];
    const std::string& to = command.Arguments[1];
    if (int status = CheckArchive(env, from); status != kExitOk) return status;
    if (int status = CheckIdentifier(env, to); status != kExitOk) return status;
    if (!env.os.files.Rename(ArchivePath(env, from), ArchivePath(env, to))) {
        return Fail(env, kExitFailed, TranslateString(RS_RENAME_FAILED));
    }
    return kExitOk;
}

int Delete(const CliCommand& command, CliEnv& env) {
    const std::string& identifier = command.Arguments[0];
    if (int status = CheckArchive(env, identifier); status != kExitOk) return status;
    if (std::optional<int> status = Confirm(env, command.Yes, FormatText(TranslateString(RS_CLI_ASK_DELETE), {identifier}),
                                            FormatText(TranslateString(RS_CLI_NOT_DELETED), {identifier}))) {
        return *status;
    }
    if (!env.os.files.DeleteFile(ArchivePath(env, identifier))) {
        return Fail(env, kExitFailed, TranslateString(RS_DELETE_FAILED));
    }
    return kExitOk;
}

}  // namespace kelvora::cli
