// The main window on stand-in port windows: a temporary program directory, recording messages,
// a port list whose probe the test decides, and a supervisor of counted threads.
#pragma once

#include "app/configuration_sets.h"
#include "app/main_window.h"
#include "app/port_list.h"
#include "core/ini_file.h"
#include "core/program_dir.h"
#include "engine/registry/port_registry.h"
#include "support/recording_messages.h"
#include "support/temp_home.h"
#include "ui/frame/mdi_child.h"
#include "ui/ui_test_support.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QWidget>
#include <memory>
#include <set>

namespace zev7::apptest {

// Port windows that are bare MDI children captioned "Порт:N", keeping their layout in `ini`.
class StandInPortWindows : public PortWindowAdapter {
public:
    explicit StandInPortWindows(IniFile& ini) : ini_(ini) {}
    QWidget* create(int port) override {
        auto* w = new MdiChild(PortList::itemText(port), 17, &ini_);
        w->setProperty("standInPort", port);
        ++created;
        return w;
    }
    int portOf(const QWidget* window) const override {
        return window != nullptr ? window->property("standInPort").toInt() : 0;
    }
    void command(QWidget*, ScenarioCommand c) override { forwarded.push_back(c); }
    PortCommandState commands(const QWidget*) const override { return allowed; }
    void activated(QWidget*) override {}
    void onStateChanged(QWidget*, std::function<void()>) override {}
    bool loadScenario(QWidget*, const QString&) override { return true; }
    void startAnswering(QWidget*) override {}
    void applyDefaults(QWidget* window) override {
        defaulted.insert(portOf(window));
        static_cast<MdiChild*>(window)->restoreLayout();
    }
    void reloadPlacement(QWidget* window) override {
        static_cast<MdiChild*>(window)->restoreLayout();
    }

    int created = 0;
    PortCommandState allowed;
    std::vector<ScenarioCommand> forwarded;
    std::set<int> defaulted;

private:
    IniFile& ini_;
};

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        test::uiApp();
        ASSERT_TRUE(home.isValid());
        ports.build();
        form = std::make_unique<TMainForm>(MainWindowServices{messages, registry, ports, windows,
                                                              [this] { ++stopRequests; },
                                                              [this] { return running; }});
        ini.setPath(ConfigurationSets::configFile());
        config = std::make_unique<ConfigurationSets>(*form, ini);
    }

    // Ports 1..present exist on this machine.
    int present = 64;
    test::TempHome home{test::TempHome::WithFolders};
    RecordingMessages messages;
    PortRegistry registry;
    PortList ports{registry, [this](int port) {
                       return port <= present ? PortPresence::Free : PortPresence::Absent;
                   }};
    IniFile ini;
    StandInPortWindows windows{ini};
    int stopRequests = 0;
    int running = 0;
    std::unique_ptr<TMainForm> form;
    std::unique_ptr<ConfigurationSets> config;
};

}  // namespace zev7::apptest
