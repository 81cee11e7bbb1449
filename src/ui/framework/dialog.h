// The base of the program's modal dialogs: a fixed frame over an owner, a
// font of the dialog's own that its controls take, a size fitted around the
// laid-out client area and centred on the owner, and the keys of a dialog:
// Enter clicks the default button, Escape and the close box cancel.
#pragma once

#include <windows.h>

#include <string_view>

#include "ui/framework/gdi.h"
#include "ui/framework/window.h"

namespace kelvora::ui {

// The faces the dialogs are drawn in.
enum class DialogFace {
    Message,  // the system's message font
    Tahoma,   // Tahoma, 8 points
};

class Dialog : public Window {
public:
    struct Frame {
        const char* ClassName = nullptr;
        std::string_view Title;
        DWORD Style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        DWORD ExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    };

protected:
    // Creates the dialog over owner; Fit gives it its size and place.
    bool Open(HWND owner, const Frame& frame);
    // The dialog's font in face at the dialog's dpi, in the character set
    // (the face's own when charset < 0); controls created afterwards take it.
    void SetDialogFont(DialogFace face, int charset = -1);
    void SetDialogFont(Font font);
    // A language of another character set: the dialog and its controls
    // change to the face in that set.
    void SetCharset(int charset);
    // Sizes the frame around a client area of width x height and centres it
    // on owner (on the primary screen without one).
    void Fit(HWND owner, int clientWidth, int clientHeight);

    // Enter when the default button did not take it itself: its click.
    virtual void OnEnter();
    // Escape and the close box: cancels.
    virtual void OnEscape() { EndModal(IDCANCEL); }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    DialogFace face_ = DialogFace::Message;
    Font font_;
};

}  // namespace kelvora::ui
