#include "gui/info/about_form.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QEvent>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/i18n/tr.h"
#include "gui/common/jpeg_image.h"

namespace zizara::gui::info {

using core::i18n::Tr;
namespace lv = core::live;

namespace {
constexpr int kRefreshMs = 1000;
constexpr int kCpuMeasureMs = 500;
}  // namespace

QLabel* TAboutForm::AddLine(QLayout* layout, const char* object_name) {
  auto* label = new QLabel(this);
  label->setObjectName(QString::fromLatin1(object_name));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(label);
  return label;
}

QLabel* TAboutForm::Line(const char* object_name) const {
  return findChild<QLabel*>(QString::fromLatin1(object_name));
}

TAboutForm::TAboutForm(Hooks hooks, QWidget* parent)
    : QDialog(parent),
      hooks_(std::move(hooks)),
      logo_(new QLabel(this)),
      memo_(new QPlainTextEdit(this)),
      force_v5_(new QCheckBox(Tr("Force V5 Preset Upgrade."), this)),
      debug_(new QCheckBox(Tr("Debug Mode."), this)),
      set_dlm_(new QPushButton(Tr("Set DLM"), this)),
      modules_(new QPushButton(Tr("Modules..."), this)),
      ok_(new QPushButton(Tr("OK"), this)) {
  setObjectName(QStringLiteral("TAboutForm"));
  setWindowTitle(Tr("About..."));
  setModal(true);
  if (!hooks_.system_facts) hooks_.system_facts = lv::ReadSystemFacts;

  logo_->setObjectName(QStringLiteral("Image1"));
  logo_->setPixmap(QPixmap::fromImage(common::LoadJpeg(QStringLiteral(":/pictures/about.jpg"))));
  logo_->installEventFilter(this);

  auto* program = new QVBoxLayout;
  QLabel* title = AddLine(program, "ProductName");
  QFont big = title->font();
  big.setBold(true);
  big.setPointSize(big.pointSize() + 6);
  title->setFont(big);
  title->setText(Tr("VT-Zizara."));
  AddLine(program, "Version")->setText(Tr("Software Version  v. 1.2"));
  AddLine(program, "BuildLabel")->setText(lv::BuildLine(lv::ProgramFileVersion()));
  program->addSpacing(6);
  AddLine(program, "MakerLabel")->setText(Tr("VT-Zizara Audio Tools"));
  AddLine(program, "AddressLabel")->setText(Tr("Meter Lane 5, 1200 Soundhaven"));
  AddLine(program, "PhoneLabel")->setText(Tr("Tel.: +00 12 345 6780   Fax: +00 12 345 6781"));
  QLabel* web = AddLine(program, "WebLabel");
  web->setText(
      QStringLiteral("<a href=\"%1\">%2</a>")
          .arg(hooks_.web_address.toString().toHtmlEscaped(), hooks_.web_text.toHtmlEscaped()));
  web->setTextFormat(Qt::RichText);
  web->setTextInteractionFlags(Qt::TextBrowserInteraction);
  connect(web, &QLabel::linkActivated, this,
          [this] { QDesktopServices::openUrl(hooks_.web_address); });
  program->addStretch();

  auto* top = new QHBoxLayout;
  top->addWidget(logo_, 0, Qt::AlignTop);
  top->addLayout(program, 1);

  auto* instrument = new QGroupBox(Tr("QLX"), this);
  auto* instrument_lines = new QVBoxLayout(instrument);
  for (const char* name : {"QLXType", "SerialNumber", "SWVer", "DotCapable", "HWID", "HWVer",
                           "FWVer", "BiosVer", "ExtBiosID"}) {
    AddLine(instrument_lines, name);
  }
  instrument_lines->addStretch();

  auto* computer = new QGroupBox(Tr("Computer"), this);
  auto* computer_lines = new QVBoxLayout(computer);
  for (const char* name : {"OSLabel", "NameLabel", "CurrentUserLabel", "NetworkLabel", "SpeedLabel",
                           "UptimeLabel", "TotalMemLabel", "AvailMemLabel"}) {
    AddLine(computer_lines, name)->setWordWrap(true);
  }
  computer_lines->addStretch();

  auto* middle = new QHBoxLayout;
  middle->addWidget(instrument, 1);
  middle->addWidget(computer, 1);

  memo_->setObjectName(QStringLiteral("Memo1"));
  memo_->setReadOnly(true);
  memo_->setMinimumHeight(160);
  memo_->hide();
  force_v5_->setObjectName(QStringLiteral("chkForceV5"));
  force_v5_->hide();
  debug_->setObjectName(QStringLiteral("CheckBox1"));
  debug_->hide();
  set_dlm_->setObjectName(QStringLiteral("SetDLMButton"));
  set_dlm_->hide();
  modules_->setObjectName(QStringLiteral("ModulesButton"));
  ok_->setObjectName(QStringLiteral("OKButton"));
  ok_->setDefault(true);
  for (QPushButton* b : {set_dlm_, modules_}) b->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(force_v5_);
  buttons->addWidget(debug_);
  buttons->addWidget(set_dlm_);
  buttons->addStretch();
  buttons->addWidget(modules_);
  buttons->addWidget(ok_);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addLayout(middle);
  layout->addWidget(memo_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  connect(force_v5_, &QCheckBox::toggled, this, [this](bool on) {
    if (hooks_.force_v5) hooks_.force_v5(on);
  });
  connect(debug_, &QCheckBox::clicked, this, &TAboutForm::ApplyDebugSwitch);
  connect(set_dlm_, &QPushButton::clicked, this, [this] {
    if (hooks_.set_dlm) hooks_.set_dlm();
  });
  connect(modules_, &QPushButton::clicked, this, [this] {
    if (hooks_.open_modules) hooks_.open_modules();
  });
  connect(ok_, &QPushButton::clicked, this, [this] {
    memo_->hide();
    accept();
  });

  timer_.setObjectName(QStringLiteral("Timer1"));
  timer_.setInterval(kRefreshMs);
  connect(&timer_, &QTimer::timeout, this, &TAboutForm::RefreshLiveLines);
  cpu_timer_.setSingleShot(true);
  connect(&cpu_timer_, &QTimer::timeout, this, &TAboutForm::FinishCpuMeasurement);

  // On creation: the live lines once, the memo, and the lines that do not change.
  RefreshLiveLines();
  if (hooks_.memo_facts) {
    memo_->setPlainText(lv::SystemMemoLines(hooks_.memo_facts()).join(QLatin1Char('\n')));
  }
  const lv::SystemFacts facts = hooks_.system_facts();
  Line("OSLabel")->setText(Tr("Operating System: ") + facts.os_name);
  Line("NameLabel")->setText(Tr("The Computer Name is: ") + facts.computer_name);
  Line("CurrentUserLabel")->setText(Tr("Current User is: ") + facts.user_name);
  Line("NetworkLabel")->setText(lv::NetworkText(facts.network));
}

void TAboutForm::RefreshLiveLines() {
  const lv::SystemFacts facts = hooks_.system_facts();
  Line("UptimeLabel")->setText(lv::UptimeText(facts.uptime_ms));
  Line("TotalMemLabel")->setText(lv::TotalMemoryText(facts.total_memory));
  const std::optional<QString> available = lv::AvailableMemoryText(facts.available_memory);
  Line("AvailMemLabel")->setText(available.value_or(QString()));
  Line("AvailMemLabel")->setVisible(available.has_value());
  // The counter is read now and again after 500 ms; the window stays live meanwhile.
  if (!cpu_timer_.isActive()) {
    cpu_start_ = lv::ReadTimeStampCounter();
    cpu_clock_.start();
    cpu_timer_.start(kCpuMeasureMs);
  }
}

void TAboutForm::FinishCpuMeasurement() {
  const std::uint64_t ticks = lv::ReadTimeStampCounter() - cpu_start_;
  Line("SpeedLabel")->setText(lv::CpuSpeedText(lv::CpuSpeedMhz(ticks, cpu_clock_.nsecsElapsed())));
}

void TAboutForm::RefreshInstrumentLines() {
  const AboutInstrument now = hooks_.instrument ? hooks_.instrument() : AboutInstrument{};
  const lv::AboutInstrumentLines lines =
      lv::InstrumentLinesFor(lv::AboutStateOf(now.bios_mode, now.instrument_detected, now.record),
                             now.record, now.software_version);
  Line("QLXType")->setText(lines.qlx_type);
  Line("SerialNumber")->setText(lines.serial_number);
  Line("SWVer")->setText(lines.software_version);
  Line("DotCapable")->setText(lines.dot_capable);
  Line("HWID")->setText(lines.hardware_id);
  Line("HWVer")->setText(lines.hardware_version);
  Line("FWVer")->setText(lines.firmware_version);
  Line("BiosVer")->setText(lines.bios_version);
  Line("ExtBiosID")->setText(lines.extended_bios_id);
  modules_->setVisible(lines.modules_visible);
}

int TAboutForm::ShowModal() {
  RefreshInstrumentLines();
  return exec();
}

void TAboutForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  ok_->setFocus();  // Return closes, as the default button promises
  timer_.start();
}

void TAboutForm::hideEvent(QHideEvent* event) {
  timer_.stop();
  QDialog::hideEvent(event);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == logo_ && event->type() == QEvent::MouseButtonDblClick) {
    LogoDoubleClick();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TAboutForm::LogoDoubleClick() {
  if (hooks_.settings_debug && hooks_.settings_debug()) {
    ApplyDebugSwitch();
  }
  memo_->show();
  force_v5_->show();
}

void TAboutForm::ApplyDebugSwitch() {
  const bool on = debug_->isChecked();
  debug_->show();
  if (hooks_.apply_debug) hooks_.apply_debug(on);
  set_dlm_->setVisible(on);
}

}  // namespace zizara::gui::info
