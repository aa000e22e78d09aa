#pragma once
// The running copy answers on a per-user local socket; a later copy connects
// to it to ask for the main window.
#include <QLocalServer>
#include <QObject>
#include <QString>

#include "platform/InstanceWindow.h"

class QWidget;

namespace pelvantz {

class QtInstanceWindow : public QObject, public InstanceWindow {
  Q_OBJECT

 public:
  // `socketPath`: where the running copy listens; DefaultInstanceSocket() for the program.
  explicit QtInstanceWindow(QString socketPath, QObject* parent = nullptr);

  bool activateRunningCopy() override;
  void onActivationRequest(std::function<void()> handler) override;
  void release() override;

 private:
  bool listen();
  bool askRunningCopy() const;
  void answerLaterCopy();

  QString socketPath_;
  QLocalServer server_;
  QString claimedPath_;  // the socket this copy listens on, once it does
  std::function<void()> handler_;
};

// The socket of this user's running copy, in the user's private runtime folder.
QString DefaultInstanceSocket();

// Restores the window if it is minimised and makes it the active window.
void BringToFront(QWidget& window);

}  // namespace pelvantz
