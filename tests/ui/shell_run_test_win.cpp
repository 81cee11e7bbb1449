// Open, View, Properties and View log on a file the shell cannot open: an
// error box that names the file (or the program that was to open it).
#include "ui/shell_run.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/gui_win.h"
#include "support/modal_robot_win.h"
#include "support/temp_folder_win.h"
#include "translation/messages.h"

namespace kelvora::ui {
namespace {

using namespace test;

// Runs ShellRun with a robot that reads the error box and closes it.
std::string ErrorOf(const std::string& file, const std::string& parameters, const std::string& folder,
                    const std::string& program = {}) {
    std::string shown;
    ModalRobot robot("error box", WindowOfClass("TMessageForm"), {[&](HWND box) {
                         shown = StaticText(box);
                         PressKey(box, VK_RETURN);
                     }});
    EXPECT_FALSE(ShellRun(nullptr, "open", file, parameters, folder, 0, program));
    return shown;
}

TEST(ShellRun, WhatTheShellCannotOpenIsNamedInAnErrorBox) {
    TempFolder folder("KelvoraShell");
    const std::string file = folder.Path() + "\\data.kelvora-nothing";
    std::ofstream(file) << "x";
    EXPECT_EQ(ErrorOf(file, "", folder.Path()), FormatText(TranslateString(RS_NO_PROGRAM), {file}));
    const std::string viewer = folder.Path() + "\\no-viewer.exe";
    EXPECT_EQ(ErrorOf(viewer, "data.kelvora-nothing", folder.Path(), viewer),
              FormatText(TranslateString(RS_CANT_EXECUTE), {viewer}));
}

}  // namespace
}  // namespace kelvora::ui
