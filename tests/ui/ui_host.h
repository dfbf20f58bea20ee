#pragma once
// The plug-in set up in the host, with a 400 × 300 layer and the values the
// controls are built from at hand.

#include <gtest/gtest.h>

#include <string>

#include "host/host.h"
#include "host/panel.h"
#include "plugin_path.h"

namespace test {

class UiHost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(host.globalSetup(), PF_Err_NONE);
        ASSERT_EQ(host.paramsSetup(), PF_Err_NONE);
        host.frame().width = 400;
        host.frame().height = 300;
        setPopup("Type", 1);
        setCenter(100, 100);
        setDirection(0);
        set("Inner Width", 100);
        set("Ratio", 0.5);
        set("Blur Amount", 50);
        host.log().setRecording(true);  // the tests read what the plug-in called
    }

    PF_ParamDef& def(const std::string& name) { return host.param(host.paramIndex(name)).current; }
    void set(const std::string& name, double value) { def(name).u.fs_d.value = value; }
    double get(const std::string& name) { return def(name).u.fs_d.value; }
    void setPopup(const std::string& name, int item) { def(name).u.pd.value = item; }
    void setCenter(int x, int y) {
        def("Center").u.td.x_value = x * 65536;
        def("Center").u.td.y_value = y * 65536;
    }
    void setDirection(int degrees) { def("Direction").u.ad.value = degrees * 65536; }
    double direction() { return def("Direction").u.ad.value / 65536.0; }
    int index(const std::string& name) { return host.paramIndex(name); }

    // The layer alone, unscrolled: frame = layer × zoom.
    static host::Panel layerPanel(double zoom = 1) {
        host::Panel panel;
        panel.windowType = PF_Window_LAYER;
        panel.width = 800;
        panel.height = 600;
        panel.zoom = zoom;
        return panel;
    }

    host::Host host{pluginPath()};
};

}  // namespace test
