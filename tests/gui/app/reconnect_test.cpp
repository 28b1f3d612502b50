#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "gui/app/main_form.h"
#include "gui/app/reconnect_commands.h"
#include "gui/ui/qt_prompts.h"
#include "sim/in_memory_transport.h"
#include "sim/qlx_instrument.h"
#include "support/strict_sim.h"

namespace zizara::gui::app {
namespace {

using core::ui_port::Answer;

// The socket an adapter plugs into: the instrument behind it may go and come back, or another
// may take its place. Pulling it breaks every open line to it.
class Socket : public QObject {
  Q_OBJECT

 public:
  sim::QlxInstrument* plugged = nullptr;
  void Unplug() {
    plugged = nullptr;
    emit Unplugged();
  }

 signals:
  void Unplugged();
};

class SocketTransport : public core::link::Transport {
 public:
  explicit SocketTransport(Socket& socket)
      : socket_(socket), instrument_(socket.plugged), inner_(socket.plugged) {
    connect(&inner_, &Transport::ReadyRead, this, &Transport::ReadyRead);
    connect(&socket, &Socket::Unplugged, this, [this] {
      if (open_) {
        open_ = false;
        inner_.Close();
        QMetaObject::invokeMethod(
            this, [this] { emit Failed(QStringLiteral("The adapter was unplugged.")); },
            Qt::QueuedConnection);
      }
    });
  }
  bool Open(QString* error) override {
    if (instrument_ == nullptr || socket_.plugged != instrument_) {
      if (error != nullptr) *error = QStringLiteral("No such device.");
      return false;
    }
    open_ = inner_.Open(error);
    return open_;
  }
  void Close() override {
    open_ = false;
    inner_.Close();
  }
  bool IsOpen() const override { return open_; }
  QString Name() const override { return QStringLiteral("sim"); }
  qint64 Write(const QByteArray& bytes) override { return open_ ? inner_.Write(bytes) : -1; }
  QByteArray Read(qint64 max_bytes) override { return inner_.Read(max_bytes); }
  qint64 BytesAvailable() const override { return inner_.BytesAvailable(); }
  void Clear(bool input, bool output) override { inner_.Clear(input, output); }

 private:
  Socket& socket_;
  sim::QlxInstrument* instrument_;
  sim::InMemoryTransport inner_;
  bool open_ = false;
};

class ReconnectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    socket_.plugged = &first_;
    ctx_.current_port = "sim";
    settings_ = dir_.filePath("VT-Zizara.INI");
  }
  void Start(bool reconnect = true) {
    QFile ini(settings_);
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QByteArray("[Settings]\nComInterface=sim\nReconnect=") + (reconnect ? "1" : "0") +
              "\n");
    ini.close();
    form_ = std::make_unique<TMainForm>(ctx_, prompts_, files_, settings_);
    form_->LoadSettings();
    form_->BuildInterfaceMenu({"sim"});
    controller_ = std::make_unique<link::LinkController>(
        ctx_, prompts_,
        [this](const QString&) { return std::make_unique<SocketTransport>(socket_); }, form_.get());
    form_->SetLinkController(controller_.get());
    form_->ConnectAtStartUp();
  }
  void TearDown() override {
    if (form_ != nullptr) form_->SetLinkController(nullptr);
    controller_.reset();
  }
  bool ConnectRemote() {
    form_->FindAction("SubMenuConnect")->trigger();
    return QTest::qWaitFor([this] { return form_->commands().remote_button_down; }, 10000);
  }
  bool Lost() {
    return QTest::qWaitFor(
        [this] {
          return form_->ConnectedPanel()->text() == "Instrument lost; waiting for it to return";
        },
        5000);
  }

  static sim::QlxOptions SecondOptions() {
    sim::QlxOptions o;
    o.serial = 12000;
    return o;
  }
  QTemporaryDir dir_;
  QString settings_;
  testing::StrictCheck strict_;
  sim::QlxInstrument first_{strict_.Apply({})};  // serial 12345
  sim::QlxInstrument second_{strict_.Apply(SecondOptions())};
  Socket socket_;
  AppContext ctx_;
  core::ui_port::ScriptedPrompts prompts_;
  ui::ScriptedFileChooser files_;
  std::unique_ptr<TMainForm> form_;
  std::unique_ptr<link::LinkController> controller_;
};

TEST_F(ReconnectTest, LostDuringRemoteControlAndBackWithTheSameInstrument) {
  Start();
  ASSERT_TRUE(ConnectRemote());
  const std::size_t boxes = prompts_.records().size();
  socket_.Unplug();
  ASSERT_TRUE(Lost());
  ReconnectCommands* r = form_->Reconnector();
  EXPECT_TRUE(r->Waiting());
  EXPECT_EQ(r->kRetryMs, 2000);
  EXPECT_FALSE(ctx_.connected);
  EXPECT_FALSE(form_->FindAction("MenuUpload")->isEnabled());
  r->TryAgain();  // still unplugged: quietly waits on
  r->TryAgain();
  EXPECT_TRUE(r->Waiting());
  EXPECT_EQ(prompts_.records().size(), boxes);  // no error boxes

  socket_.plugged = &first_;
  r->TryAgain();
  EXPECT_FALSE(r->Waiting());
  EXPECT_TRUE(QTest::qWaitFor([this] { return form_->commands().remote_button_down; }, 10000));
  EXPECT_TRUE(ctx_.connected);
  EXPECT_EQ(form_->ConnectedPanel()->text(), "QLX-A");
  EXPECT_TRUE(form_->FindAction("MenuMacroLoad")->isEnabled());
  EXPECT_EQ(prompts_.records().size(), boxes);  // the same instrument: nothing asked
}

TEST_F(ReconnectTest, ADifferentInstrumentIsAskedAboutBeforeAnythingIsSent) {
  Start();
  ASSERT_TRUE(ConnectRemote());
  socket_.Unplug();
  ASSERT_TRUE(Lost());
  socket_.plugged = &second_;
  prompts_.Queue(Answer::kNo);
  form_->Reconnector()->TryAgain();
  ASSERT_FALSE(prompts_.Texts().isEmpty());
  EXPECT_EQ(prompts_.Texts().last(),
            "A different instrument now answers on sim: QLX-A (serial number 12000) instead of "
            "serial number 12345.\rDo you wish to use it?");
  EXPECT_FALSE(ctx_.connected);
  EXPECT_FALSE(form_->Reconnector()->Waiting());
  EXPECT_EQ(form_->ConnectedPanel()->text(), "Not Connected");
  EXPECT_EQ(second_.stats().blocks_written, 0);
  EXPECT_FALSE(second_.DownloadMode());

  // Asked again after the next loss, and this time accepted.
  ASSERT_TRUE(ConnectRemote());
  socket_.Unplug();
  ASSERT_TRUE(Lost());
  socket_.plugged = &first_;
  prompts_.Queue(Answer::kYes);
  form_->Reconnector()->TryAgain();
  EXPECT_TRUE(
      prompts_.Texts().last().startsWith("A different instrument now answers on sim: "
                                         "QLX-A (serial number 12345)"));
  EXPECT_TRUE(QTest::qWaitFor([this] { return ctx_.connected; }, 10000));
}

// The line goes while a macro waits for its second line's reply: the macro ends without
// hanging on the dead line, and the Macro menu works again once the instrument is back.
TEST_F(ReconnectTest, LostWhileAMacroWaitsAndBack) {
  Start();
  ASSERT_TRUE(ConnectRemote());
  const QString path = dir_.filePath("m.MCR");
  QFile macro(path);
  ASSERT_TRUE(macro.open(QIODevice::WriteOnly));
  macro.write(".SA1,3\n.SA2,4\n.SA3,5\n");
  macro.close();
  // Pulled right after the instrument confirmed the first line.
  bool pulled = false;
  QObject::connect(&first_, &sim::QlxInstrument::Transmit, &socket_,
                   [this, &pulled](const QByteArray& bytes) {
                     if (bytes.contains(".AA1,3") && !pulled) {
                       pulled = true;
                       QMetaObject::invokeMethod(
                           &socket_, [this] { socket_.Unplug(); }, Qt::QueuedConnection);
                     }
                   });
  form_->RunMacroFile(path);
  EXPECT_FALSE(ctx_.macro_running);
  ASSERT_TRUE(Lost());
  EXPECT_EQ(first_.Routing(1), 3);
  EXPECT_NE(first_.Routing(3), 5);  // nothing went out after the loss

  socket_.plugged = &first_;
  form_->Reconnector()->TryAgain();
  EXPECT_TRUE(QTest::qWaitFor([this] { return ctx_.connected; }, 10000));
  EXPECT_TRUE(form_->FindAction("MenuMacroLoad")->isEnabled());
  form_->RunMacroFile(path);  // and macros run again
  EXPECT_TRUE(QTest::qWaitFor([this] { return first_.Routing(3) == 5; }, 10000));
}

TEST_F(ReconnectTest, TurnedOffNothingWaits) {
  Start(false);
  ASSERT_TRUE(ConnectRemote());
  socket_.Unplug();
  ASSERT_TRUE(QTest::qWaitFor([this] { return controller_->Link()->LineFailed(); }, 5000));
  QCoreApplication::processEvents();  // the loss is reported after the line closed
  EXPECT_FALSE(form_->Reconnector()->Waiting());
  EXPECT_NE(form_->ConnectedPanel()->text(), "Instrument lost; waiting for it to return");
}

TEST_F(ReconnectTest, ADisconnectByHandIsNoLoss) {
  Start();
  ASSERT_TRUE(ConnectRemote());
  prompts_.Queue(Answer::kYes);
  form_->FindAction("SubMenuDisconnect")->trigger();
  ASSERT_FALSE(ctx_.connected);
  controller_->DestroyDriver();  // the port closes, as when another is chosen
  QCoreApplication::processEvents();
  EXPECT_FALSE(form_->Reconnector()->Waiting());
}

}  // namespace
}  // namespace zizara::gui::app

#include "reconnect_test.moc"
