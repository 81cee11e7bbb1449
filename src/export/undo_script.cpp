// The .cmd file of the undo package. Every name it acts on is written once,
// in quotes, into a variable (P) that a subroutine uses in quotes only; the
// command processor takes everything inside quotes literally but %, which
// is doubled. Delayed expansion stays off, so ! is an ordinary character,
// and no subroutine is called with arguments (CALL would double the ^).
#include <algorithm>
#include <charconv>
#include <cstring>
#include <optional>

#include "export/undo_package.h"

namespace kelvora {

namespace {

// Paths this long or longer need the \\?\ form.
constexpr std::size_t kMaxPath = 260;

std::string FilePath(const UndoItem& item) { return item.Path + "\\" + item.Name; }

// A path as the script writes it inside quotes.
std::string Quotable(std::string_view path) {
    std::string out;
    if (path.size() >= kMaxPath && path.size() > 2 && path[1] == ':') out = "\\\\?\\";
    for (char c : path) {
        out += c;
        if (c == '%') out += '%';
    }
    return out;
}

bool IsPlainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return c >= 0x20 && c < 0x7F && c != '%' && c != '"';
    });
}

// The number a counter's data holds: the 32-bit number of a REG_DWORD, the
// decimal text of a REG_SZ.
std::optional<std::int64_t> Number(std::int32_t type, const std::vector<std::uint8_t>& data) {
    if (type == 4) {
        if (data.size() < 4) return std::nullopt;
        std::int32_t n = 0;
        std::memcpy(&n, data.data(), 4);
        return n;
    }
    std::string_view text(reinterpret_cast<const char*>(data.data()), data.size());
    text = text.substr(0, text.find('\0'));
    std::int32_t n = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return n;
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The lines that hand a name to a subroutine: P; U when it holds characters
// beyond ASCII; L when it takes the \\?\ form.
std::string NameLines(std::string_view path) {
    const std::string quotable = Quotable(path);
    return "set \"P=" + quotable + "\"\r\n" + (IsAscii(path) ? "set \"U=\"" : "set \"U=1\"") + "\r\n" +
           (quotable.starts_with("\\\\?\\") ? "set \"L=1\"" : "set \"L=\"");
}

std::size_t Depth(const std::string& path) {
    return static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\'));
}

constexpr std::string_view kSubroutines = R"(
:file
if defined U if not defined UTF8 goto unreadable
if defined L if defined SHORTONLY goto toolong
if not exist "%P%" (set /a ALREADY+=1 & set "WHAT=Already gone: file" & goto logp)
if exist "%P%\*" (set /a FAILED+=1 & set "WHAT=FAILED, now a folder: file" & goto logp)
reg query "HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs" /v "%P%" >nul 2>&1
if not errorlevel 1 (set "WHAT=Kept, other programs still use it: file" & goto logp)
if defined DRY (set "WHAT=Would delete file" & goto logp)
del /f /q /a "%P%" >nul 2>&1
if exist "%P%" (set /a FAILED+=1 & set "WHAT=FAILED to delete file" & goto logp)
set /a DONE+=1
set "WHAT=Deleted file"
goto logp

:folder
if defined U if not defined UTF8 goto unreadable
if defined L if defined SHORTONLY goto toolong
if not exist "%P%\*" (set /a ALREADY+=1 & set "WHAT=Already gone: folder" & goto logp)
if defined DRY (set "WHAT=Would remove, when empty, folder" & goto logp)
rd "%P%" >nul 2>&1
if exist "%P%\*" (set /a FAILED+=1 & set "WHAT=FAILED, not empty: folder" & goto logp)
set /a DONE+=1
set "WHAT=Removed folder"
goto logp

:counter
if defined U if not defined UTF8 goto unreadable
rem P names the shared file, D is what the setup added, E the value the
rem setup left when it is known (else the installation must still be there).
set "LINE="
rem The temporary file's path has no spaces, so it needs no quotes in FOR.
set "TMPF=%SystemRoot%\Temp\kelvora-undo-%RANDOM%.txt"
reg query "HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs" /v "%P%" >"%TMPF%" 2>nul
if errorlevel 1 (del "%TMPF%" >nul 2>&1 & set /a ALREADY+=1 & set "WHAT=Already gone: the counter of" & goto logp)
for /f "tokens=*" %%L in (%TMPF%) do set "LINE=%%L"
del "%TMPF%" >nul 2>&1
set "T=REG_DWORD"
set "NUM=%LINE:*REG_DWORD=%"
if "%NUM%"=="%LINE%" (set "T=REG_SZ" & set "NUM=%LINE:*REG_SZ=%")
set "CUR="
set /a "CUR=%NUM%" >nul 2>&1
if not defined CUR (set /a FAILED+=1 & set "WHAT=FAILED, not a number: the counter of" & goto logp)
if defined E if "%CUR%"=="%EL%" (set /a ALREADY+=1 & set "WHAT=Already lowered: the counter of" & goto logp)
if defined E if not "%CUR%"=="%E%" (set "WHAT=Kept, it no longer holds what the setup left: the counter of" & goto logp)
if not defined E if not defined PRESENT (set /a ALREADY+=1 & set "WHAT=Kept, the installation is gone already: the counter of" & goto logp)
if %CUR% LSS %D% (set "WHAT=Kept, lower than what the setup added: the counter of" & goto logp)
set /a NEW=CUR-D
if defined DRY (set "WHAT=Would lower to %NEW% the counter of" & goto logp)
if %NEW% LEQ 0 (reg delete "HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs" /v "%P%" /f >nul 2>&1) else (reg add "HKLM\Software\Microsoft\Windows\CurrentVersion\SharedDLLs" /v "%P%" /t %T% /d %NEW% /f >nul 2>&1)
if errorlevel 1 (set /a FAILED+=1 & set "WHAT=FAILED to lower the counter of" & goto logp)
set /a DONE+=1
set "WHAT=Lowered to %NEW% the counter of"
if %NEW% LEQ 0 set "WHAT=Removed, no longer used, the counter of"
goto logp

:toolong
set /a FAILED+=1
set "WHAT=FAILED, this command processor cannot reach a path this long"
goto logp

:unreadable
set /a FAILED+=1
set "WHAT=FAILED, this command processor did not read the script as UTF-8, so it cannot name"
goto logp

:logp
echo %WHAT% "%P%"
>>"%LOG%" echo %WHAT% "%P%"
goto :eof

:log
echo %WHAT%
>>"%LOG%" echo %WHAT%
goto :eof
)";

}  // namespace

std::string UndoScriptText(const std::vector<UndoItem>& items, const UndoPackageInfo& info) {
    std::string s;
    auto line = [&s](std::string_view text) { s.append(text).append("\r\n"); };
    const std::string base = info.Identifier + "-undo";

    line("@echo off");
    line("rem " + base + ".cmd undoes the installation \"" + info.Identifier + "\" as " + info.Program +
         " recorded it (" + info.Made + "),");
    line("rem on a machine where the same setup ran. It imports " + base + ".reg, lowers the");
    line("rem shared-file counters the setup raised, deletes the files and then the folders it");
    line("rem created, and appends what it did to " + base + ".log beside itself.");
    line("rem   " + base + ".cmd            undo (as an administrator)");
    line("rem   " + base + ".cmd /dry-run   only list what would be done");
    line("rem A second run changes nothing. Exit code: the number of actions that failed.");
    line("setlocal EnableExtensions DisableDelayedExpansion");
    line("rem A 32-bit command processor sees the 32-bit registry view: run the 64-bit one.");
    line("if defined PROCESSOR_ARCHITEW6432 if exist \"%SystemRoot%\\Sysnative\\cmd.exe\" (");
    line("  \"%SystemRoot%\\Sysnative\\cmd.exe\" /d /c \"\"%~f0\" %*\"");
    line("  exit /b");
    line(")");
    line("set \"OLDCP=\"");
    line("for /f \"tokens=2 delims=:.\" %%C in ('chcp') do set \"OLDCP=%%C\"");
    line("chcp 65001 >nul");
    // Windows' command processor reads each line in the code page that is
    // active when it gets there; one that read this file in another would
    // see the two bytes of this letter as two characters, and every name
    // beyond ASCII wrong: those are then reported, not guessed at.
    line("set \"UTF8=\xC3\xA9\"");
    line("if \"%UTF8:~1%\"==\"\" (set \"UTF8=1\") else (set \"UTF8=\")");
    // Wine's command processor (version 8 at least) ends the whole run at a
    // path of MAX_PATH characters or more in DEL, and cannot MOVE or RD one.
    line("set \"SHORTONLY=\"");
    line("reg query \"HKLM\\Software\\Wine\" >nul 2>&1");
    line("if not errorlevel 1 set \"SHORTONLY=1\"");
    line("set \"DRY=\"");
    line("if /i \"%~1\"==\"/dry-run\" set \"DRY=1\"");
    line("if /i \"%~1\"==\"--dry-run\" set \"DRY=1\"");
    line("set \"LOG=%~dpn0.log\"");
    line("set /a FAILED=0, DONE=0, ALREADY=0");
    line("set \"PRESENT=\"");
    line("set \"WHAT=== %DATE% %TIME% on %COMPUTERNAME%: " + base + ".cmd %*\"");
    line("call :log");

    // Whether the installation is still there, before anything is undone:
    // counters whose value after the setup is unknown are lowered only then.
    for (const UndoItem& item : items) {
        if (item.Kind == ckRegKeyCreated) {
            std::string key(RootKeyName(item.RootKey));
            if (!item.Path.empty()) key += "\\" + item.Path;
            key += "\\" + item.Name;
            if (!IsPlainAscii(key)) continue;
            line("reg query \"" + key + "\" >nul 2>&1");
            line("if not errorlevel 1 set \"PRESENT=1\"");
            break;
        }
        if (item.Kind == ckFileCreated && IsPlainAscii(FilePath(item))) {
            line("if exist \"" + Quotable(FilePath(item)) + "\" set \"PRESENT=1\"");
            break;
        }
    }

    line("");
    line("rem -- The registry.");
    line("if defined DRY (");
    line("  set \"WHAT=Would import " + base + ".reg\"");
    line(") else (");
    line("  reg import \"%~dpn0.reg\" >nul 2>&1");
    line("  if errorlevel 1 (set /a FAILED+=1 & set \"WHAT=FAILED to import " + base + ".reg\") else (set \"WHAT=Imported " + base + ".reg\")");
    line(")");
    line("call :log");

    bool heading = false;
    for (const UndoItem& item : items) {
        if (item.Kind != ckSharedCounterIncremented) continue;
        const std::optional<std::int64_t> amount = Number(item.ValueType, item.NewData);
        if (!amount || *amount <= 0) continue;
        if (!heading) line("\r\nrem -- Shared-file counters.");
        heading = true;
        std::optional<std::int64_t> left;
        if (item.OldKnown) {
            // The counter before the setup, as the rescan read it: decimal
            // digits and a NUL for a text counter, else a REG_DWORD.
            const std::vector<std::uint8_t>& old = item.OldData;
            const auto nul = std::find(old.begin(), old.end(), std::uint8_t{0});
            const bool text = nul != old.end() && nul != old.begin() &&
                              std::all_of(old.begin(), nul, [](std::uint8_t c) { return c >= '0' && c <= '9'; });
            if (const auto before = Number(text ? 1 : 4, old)) left = *before + *amount;
        } else if (item.ValueType == 1) {
            left = *amount;  // a text counter the setup created holds just that
        }
        line(NameLines(item.Name));
        line("set \"D=" + std::to_string(*amount) + "\"");
        line(left ? "set \"E=" + std::to_string(*left) + "\"" : std::string("set \"E=\""));
        line(left ? "set \"EL=" + std::to_string(*left - *amount) + "\"" : std::string("set \"EL=\""));
        line("call :counter");
    }

    heading = false;
    for (const UndoItem& item : items) {
        if (item.Kind != ckFileCreated) continue;
        if (!heading) line("\r\nrem -- Files the setup created.");
        heading = true;
        line(NameLines(FilePath(item)));
        line("call :file");
    }

    std::vector<std::string> folders;
    for (const UndoItem& item : items) {
        if (item.Kind == ckFolderCreated) folders.push_back(FilePath(item));
    }
    std::stable_sort(folders.begin(), folders.end(),
                     [](const std::string& a, const std::string& b) { return Depth(a) > Depth(b); });
    if (!folders.empty()) line("\r\nrem -- Folders the setup created, deepest first.");
    for (const std::string& folder : folders) {
        line(NameLines(folder));
        line("call :folder");
    }

    line("");
    line("set \"WHAT=Done: %DONE% undone, %ALREADY% already undone, %FAILED% failed.\"");
    line("if %DONE%==0 if %FAILED%==0 set \"WHAT=Nothing changed: %ALREADY% already undone.\"");
    line("call :log");
    line("if defined OLDCP chcp %OLDCP% >nul");
    line("exit /b %FAILED%");
    std::string_view rest = kSubroutines;
    while (!rest.empty()) {
        const std::size_t end = rest.find('\n');
        line(rest.substr(0, end));
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
    }
    return s;
}

}  // namespace kelvora
