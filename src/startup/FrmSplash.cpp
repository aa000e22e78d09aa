#include "startup/FrmSplash.h"

#include <QCloseEvent>
#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QRect>
#include <utility>

#include "base/RuntimeFailure.h"
#include "core/ErrorHandler.h"
#include "core/SettingsStore.h"
#include "platform/InstanceWindow.h"
#include "ui/Twips.h"

namespace pelvantz {
namespace {

constexpr const char* HandOffTag = "tmr_Timer()";
constexpr const char* FontFamily = "Liberation Sans";

QFont BoldFont(double points) {
  QFont font(QString::fromLatin1(FontFamily));
  font.setPointSizeF(points);
  font.setBold(true);
  return font;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& place, double points,
                  const QColor& colour) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::fromLatin1(name));
  label->setGeometry(place);
  label->setFont(BoldFont(points));
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  return label;
}

}  // namespace

FrmSplash::FrmSplash(SplashServices services, QWidget* parent) : QWidget(parent), services_(std::move(services)) {
  setObjectName(QStringLiteral("frmSplash"));
  setAttribute(Qt::WA_DeleteOnClose);
  buildControls();
  Form_Load();
}

void FrmSplash::buildControls() {
  setWindowTitle(QStringLiteral("Quillborn"));
  setFixedSize(TwipsRect(0, 0, 5220, 3525).size());
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, QColor(239, 240, 244));
  setPalette(palette);
  setAutoFillBackground(true);

  image1_ = new QLabel(this);
  image1_->setObjectName(QStringLiteral("Image1"));
  image1_->setGeometry(TwipsRect(0, 0, 5295, 1185));
  image1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  const QPixmap banner(services_.applicationFolder + QStringLiteral("/images/splash.gif"));
  if (!banner.isNull()) {
    image1_->setPixmap(banner);
    image1_->resize(banner.size());  // shown at its own size, clipped by the window
  }

  const QColor darkRed(192, 0, 0);
  label1_ = MakeLabel(this, "Label1", QStringLiteral("Ver 2.8"), TwipsRect(3840, 360, 960, 330), 14.25, darkRed);
  label5_ = MakeLabel(this, "Label5", QStringLiteral("Powerpoint to PDF Converter"),
                      TwipsRect(600, 1650, 4065, 330), 14.25, darkRed);

  progressBar1_ = new QProgressBar(this);
  progressBar1_->setObjectName(QStringLiteral("ProgressBar1"));
  progressBar1_->setGeometry(TwipsRect(300, 2400, 4725, 255));
  progressBar1_->setRange(0, 100);
  progressBar1_->setValue(0);
  progressBar1_->setTextVisible(false);

  lblConversion_ =
      MakeLabel(this, "lblConversion", QStringLiteral("Please wait... loading application settings..."),
                TwipsRect(870, 2730, 3525, 210), 8.25, QColor(0, 0, 128));
}

void FrmSplash::Form_Load() {
  services_.settings.LoadSettings();
  timer3_ = services_.clock.start(ProgressTimerMs, [this] { Timer3_Timer(); });
  timer2_ = services_.clock.start(StatusTimerMs, [this] { Timer2_Timer(); });
  timer1_ = services_.clock.start(HandOffTimerMs, [this] { Timer1_Timer(); });
}

void FrmSplash::Timer3_Timer() {
  if (progressBar1_->value() == 100) progressBar1_->setValue(0);
  progressBar1_->setValue(progressBar1_->value() + 2);
}

void FrmSplash::Timer2_Timer() {
  splashElapsed_ = int16_t(splashElapsed_ + StatusTimerMs);
  if (splashToggle_) {
    lblConversion_->setText(QStringLiteral("Please wait......Initializing Application"));
    splashToggle_ = false;
  } else {
    lblConversion_->setText(QStringLiteral("Please wait..."));
    splashToggle_ = true;
  }
  if (splashElapsed_ >= HandOffTimerMs) {
    lblConversion_->setText(QStringLiteral("Application Loaded Successfully"));
    services_.clock.stop(timer2_);
  }
}

void FrmSplash::Timer1_Timer() {
  // The hand-off runs once, even while a message of the error handler is up.
  services_.clock.stop(timer1_);
  int16_t found = 0;
  runHandOffStep([&] { found = FindInstanceWindow(services_.instance); });
  if (found == 1) {
    runHandOffStep(services_.endProgram);
    return;
  }
  runHandOffStep(services_.showMainWindow);
  runHandOffStep([this] { close(); });
}

// Whatever the handler answers, the hand-off goes on with its next step.
void FrmSplash::runHandOffStep(const std::function<void()>& step) {
  try {
    step();
  } catch (const std::exception& failure) {
    const RuntimeFailure reported = AsRuntimeFailure(failure);
    services_.errors.ReportError(reported.number(), reported.description(), HandOffTag);
  }
}

// The timers stop with the window, however it is closed: a tick must never
// reach a window that is gone, and a splash closed by the user hands over to nothing.
void FrmSplash::closeEvent(QCloseEvent* event) {
  services_.clock.stop(timer1_);
  services_.clock.stop(timer2_);
  services_.clock.stop(timer3_);
  QWidget::closeEvent(event);
}

int16_t FindInstanceWindow(InstanceWindow& instance) { return instance.activateRunningCopy() ? 1 : 0; }

}  // namespace pelvantz
