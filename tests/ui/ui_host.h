#pragma once
// The plug-in set up in the host, with a 400 × 300 layer and the values the controls are built from.

#include "command_host.h"
#include "host/panel.h"

namespace test {

class UiHost : public CommandHost {
protected:
    void SetUp() override {
        CommandHost::SetUp();
        host.frame().width = 400;
        host.frame().height = 300;
        setPopup("Type", 1);
        def("Center").u.td.x_value = def("Center").u.td.y_value = 100 * 65536;
        setDirection(0);
        set("Inner Width", 100);
        set("Ratio", 0.5);
        set("Blur Amount", 50);
    }

    void setDirection(int degrees) { def("Direction").u.ad.value = degrees * 65536; }
    double direction() { return def("Direction").u.ad.value / 65536.0; }

    // Unscrolled: frame = layer × zoom.
    static host::Panel layerPanel(double zoom = 1, PF_WindowType type = PF_Window_LAYER) {
        host::Panel panel;
        panel.windowType = type;
        panel.width = 800;
        panel.height = 600;
        panel.zoom = zoom;
        return panel;
    }
};

}  // namespace test
