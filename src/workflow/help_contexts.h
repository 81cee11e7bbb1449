// The help context of each control: the number the program hands the help
// viewer for a control's pop-up text (the help file's cshelp.txt holds a
// ".topic <number>" for each), and the topic of the user guide that tells
// more about it. Controls are named as the windows name them.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace kelvora {

struct HelpContext {
    std::uint32_t Number;
    std::string_view Control;  // component name, such as "rbInstall"
    std::string_view Topic;    // page of the help file, with an anchor
};

// Every control of the main window that has a help context (the dialogs
// keep theirs in their tables, ui/framework/form_table.h).
std::span<const HelpContext> HelpContexts();

// The help context of a control by its component name; 0 when it has none.
std::uint32_t HelpContextOf(std::string_view control);

// The pop-up texts inside the help file.
inline constexpr std::string_view kHelpPopupFile = "cshelp.txt";

}  // namespace kelvora
