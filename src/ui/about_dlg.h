// TdlgAboutQor: the About box, shown modally over the main window.
#pragma once

#include "ui/framework/buttons.h"
#include "ui/framework/gdi.h"
#include "ui/framework/window.h"

namespace kelvora::ui {

class TdlgAboutQor : public Window {
public:
    void Execute(HWND owner);

protected:
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    Label imgIcon;
    Label lblProduct;
    Label lblText;
    Button btnOk;
    Font font_;
    Font bold_;
};

}  // namespace kelvora::ui
