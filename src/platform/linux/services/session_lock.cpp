#include "platform/linux/services/session_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QStandardPaths>

#include <cerrno>

namespace lumivo {

SessionLock::~SessionLock() {
  if (file_ >= 0) ::close(file_);
}

// $XDG_RUNTIME_DIR, or the private folder Qt makes when the session has none. The file is
// closed on exec, so that programs Lumivo starts do not keep the lock after it ends. A lock
// that cannot be taken for another reason than a holder lets this copy run.
bool SessionLock::HeldByAnotherCopy() {
  if (asked_) return heldByAnother_;
  asked_ = true;
  const QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) return false;
  const QByteArray path = (folder + QStringLiteral("/lumivo.lock")).toLocal8Bit();
  file_ = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (file_ < 0) return false;
  heldByAnother_ = ::flock(file_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  return heldByAnother_;
}

}  // namespace lumivo
