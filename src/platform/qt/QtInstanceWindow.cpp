#include "platform/qt/QtInstanceWindow.h"

#include <unistd.h>

#include <QFile>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <QThread>
#include <QWidget>
#include <utility>

#include "base/RuntimeFailure.h"

namespace pelvantz {
namespace {

constexpr int ConnectTimeoutMs = 2000;
constexpr int ClaimLockTimeoutMs = 5000;

}  // namespace

QtInstanceWindow::QtInstanceWindow(QString socketPath, QObject* parent)
    : QObject(parent), socketPath_(std::move(socketPath)) {
  connect(&server_, &QLocalServer::newConnection, this, &QtInstanceWindow::answerLaterCopy);
}

bool QtInstanceWindow::activateRunningCopy() {
  // Copies starting together take turns, so that a stale socket removed by
  // one is never a fresh socket of the other.
  QLockFile turn(socketPath_ + QStringLiteral(".lock"));
  turn.tryLock(ClaimLockTimeoutMs);
  if (server_.isListening() || listen()) return false;
  if (askRunningCopy()) return true;
  // Nobody answers on the socket: a copy that crashed left it behind.
  QLocalServer::removeServer(socketPath_);
  if (listen()) return false;
  throw RuntimeFailure(ErrorNumber::FileAccess,
                       "Cannot listen for later copies: " + server_.errorString().toStdString());
}

void QtInstanceWindow::onActivationRequest(std::function<void()> handler) { handler_ = std::move(handler); }

void QtInstanceWindow::release() {
  // The way out may start on a worker thread, where the server cannot be
  // closed; removing its socket is enough there, as the process ends next.
  if (QThread::currentThread() == thread()) {
    server_.close();
  } else if (!claimedPath_.isEmpty()) {
    QFile::remove(claimedPath_);
  }
}

bool QtInstanceWindow::listen() {
  if (!server_.listen(socketPath_)) return false;
  claimedPath_ = server_.fullServerName();
  return true;
}

bool QtInstanceWindow::askRunningCopy() const {
  // The connection itself is the request; the running copy accepts it even
  // after this copy has ended.
  QLocalSocket socket;
  socket.connectToServer(socketPath_);
  if (!socket.waitForConnected(ConnectTimeoutMs)) return false;
  socket.disconnectFromServer();
  return true;
}

void QtInstanceWindow::answerLaterCopy() {
  while (QLocalSocket* request = server_.nextPendingConnection()) {
    request->close();
    request->deleteLater();
    if (handler_) handler_();
  }
}

QString DefaultInstanceSocket() {
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  const QString name = QStringLiteral("pelvantz-%1").arg(getuid());
  return folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
}

void BringToFront(QWidget& window) {
  window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
  window.show();
  window.raise();
  window.activateWindow();
}

}  // namespace pelvantz
