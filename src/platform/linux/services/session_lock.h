#pragma once

namespace lumivo {

// One copy per user: a lock on a file in the user's runtime folder, held for as long as the
// process lives and let go by the kernel when it ends, however it ends.
class SessionLock {
 public:
  SessionLock() = default;
  ~SessionLock();
  SessionLock(const SessionLock&) = delete;
  SessionLock& operator=(const SessionLock&) = delete;

  // Whether another copy holds the lock; the first call takes it when it is free.
  bool HeldByAnotherCopy();

 private:
  int file_ = -1;
  bool asked_ = false;
  bool heldByAnother_ = false;
};

}  // namespace lumivo
