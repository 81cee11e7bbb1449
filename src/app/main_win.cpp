// Kelvora.exe: the window program. Wiring only; the window lives in ui/.
#include <windows.h>
#include <commctrl.h>

#include "ui/framework/single_instance.h"
#include "ui/framework/window.h"

namespace {

constexpr const char* kMainClass = "TfrmQorMain";

class MainWindow : public kelvora::ui::Window {
protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_DESTROY) {
            PostQuitMessage(0);
            return 0;
        }
        return Window::OnMessage(msg, wp, lp);
    }
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    // A second start only brings the running program's window back.
    kelvora::ui::SingleInstance guard("Varnok.Kelvora.SingleInstance");
    if (guard.IsSecond()) {
        kelvora::ui::ActivateExistingWindow(kMainClass);
        return 1;
    }
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    MainWindow window;
    kelvora::ui::Window::CreateParams params;
    params.ClassName = kMainClass;
    params.Title = "Kelvora";
    params.Icon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    if (!window.Create(params)) return 1;
    ShowWindow(window.Handle(), show);
    return kelvora::ui::RunMessageLoop();
}
