// Duplicate prevention between checks that run side by side: the look into
// the forwarding log and the record of the outcome of one message key
// happen under one lock, so two accounts that receive the same message at
// the same time forward it once.
#pragma once

#include <condition_variable>
#include <mutex>
#include <set>
#include <string>

namespace velnora {

class KeyLocks {
 public:
  // Holds one key until it is destroyed (or released); an empty key holds
  // nothing: such a message is never taken for a duplicate.
  class Hold {
   public:
    Hold() = default;
    ~Hold() { Release(); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;
    // Waits while another check holds `key`, then holds it.
    void Take(KeyLocks& locks, std::string key);
    void Release();

   private:
    KeyLocks* locks_ = nullptr;
    std::string key_;
  };

 private:
  std::mutex mutex_;
  std::condition_variable freed_;
  std::set<std::string> held_;
};

}  // namespace velnora
