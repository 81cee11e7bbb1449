#include "workflow/help_contexts.h"

namespace kelvora {

namespace {

// The text-mode toggle sbString has 45: the hexadecimal toggle has 44 and
// Export 43, and each control's pop-up explains that control alone.
constexpr HelpContext kContexts[] = {
    {30, "rbInstall", "first_page.htm#install"},
    {31, "edIdentif", "first_page.htm#install"},
    {32, "rbUninstall", "first_page.htm#uninstall"},
    {33, "btnOptions", "options.htm"},
    {34, "lvQorFiles", "first_page.htm#list"},
    {35, "pbProgress", "buttons.htm#progress"},
    {36, "btnBack", "buttons.htm"},
    {37, "btnNext", "buttons.htm"},
    {38, "btnExit", "buttons.htm#exit"},
    {39, "btnAbout", "buttons.htm#about"},
    {40, "tvChanges", "tree_page.htm"},
    {41, "btnSave", "tree_page.htm#save"},
    {42, "btnPrint", "print_export.htm#print"},
    {43, "btnExport", "print_export.htm#export"},
    {44, "sbHexa", "tree_page.htm#binary"},
    {45, "sbString", "tree_page.htm#binary"},
    {46, "pnlFirst", "first_page.htm"},
    {47, "HKLM", "targets.htm#registry"},
    {48, "HKUS", "targets.htm#registry"},
    {49, "HKCU", "targets.htm#registry"},
    {50, "HKCC", "targets.htm#registry"},
    {51, "SWin", "targets.htm#folders"},
    {52, "SProg", "targets.htm#folders"},
    {54, "cbOthers", "targets.htm#others"},
    {55, "edOthers", "targets.htm#others"},
    {56, "rbUna", "run_page.htm#one"},
    {57, "edSetupPath", "run_page.htm#one"},
    {59, "btnBrowse", "run_page.htm#one"},
    {60, "rbStarted", "run_page.htm#during"},
    {1160, "HKCR", "targets.htm#registry"},
    {1230, "SRest", "targets.htm#folders"},
    {1290, "rbMulte", "run_page.htm#several"},
    {1300, "reLog", "undo.htm#log"},
    {1310, "cbShowIgnored", "tree_page.htm#ignored"},
};

}  // namespace

std::span<const HelpContext> HelpContexts() { return kContexts; }

std::uint32_t HelpContextOf(std::string_view control) {
    for (const HelpContext& c : kContexts) {
        if (c.Control == control) return c.Number;
    }
    return 0;
}

}  // namespace kelvora
