#pragma once

// A main window whose instrument is the simulator, wired as the program wires it.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>

#include "gui/app/main_form.h"
#include "gui/ui/qt_prompts.h"
#include "sim/in_memory_transport.h"
#include "sim/qlx_instrument.h"
#include "support/strict_sim.h"

namespace zizara::testing {

class SimulatedMainFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx_.current_port = "sim";
    form_ = std::make_unique<gui::app::TMainForm>(ctx_, prompts_, files_,
                                                  dir_.filePath("VT-Zizara.INI"));
    form_->LoadSettings();
    form_->BuildInterfaceMenu({"sim"});
    controller_ = std::make_unique<gui::link::LinkController>(
        ctx_, prompts_,
        [this](const QString&) {
          return std::make_unique<sim::InMemoryTransport>(&instrument_);
        },
        form_.get());
    form_->SetLinkController(controller_.get());
  }
  void TearDown() override {
    form_->SetLinkController(nullptr);
    controller_.reset();
  }
  void Trigger(const char* action) { form_->FindAction(QString::fromLatin1(action))->trigger(); }

  QTemporaryDir dir_;
  StrictCheck strict_;
  sim::QlxInstrument instrument_{strict_.Apply({})};
  gui::app::AppContext ctx_;
  core::ui_port::ScriptedPrompts prompts_;
  gui::ui::ScriptedFileChooser files_;
  std::unique_ptr<gui::app::TMainForm> form_;
  std::unique_ptr<gui::link::LinkController> controller_;
};

}  // namespace zizara::testing
