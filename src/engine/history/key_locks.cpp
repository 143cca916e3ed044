#include "engine/history/key_locks.h"

namespace velnora {

void KeyLocks::Hold::Take(KeyLocks& locks, std::string key) {
  Release();
  if (key.empty()) return;
  std::unique_lock lock(locks.mutex_);
  locks.freed_.wait(lock, [&] { return !locks.held_.contains(key); });
  locks.held_.insert(key);
  locks_ = &locks;
  key_ = std::move(key);
}

void KeyLocks::Hold::Release() {
  if (!locks_) return;
  {
    std::lock_guard lock(locks_->mutex_);
    locks_->held_.erase(key_);
  }
  locks_->freed_.notify_all();
  locks_ = nullptr;
  key_.clear();
}

}  // namespace velnora
