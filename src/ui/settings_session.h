// What every command that changes the settings goes through: a hold that
// keeps the forwarding worker off the settings for the command's duration
// (refused while a pass runs), one save when the change is made, and the
// signal that makes the window show the new settings. The settings dialogs
// take it too, so a pass never sees half of a change.
#pragma once

#include <QObject>
#include <QString>

namespace velnora {
class Context;
class ForwardingControl;
}  // namespace velnora

namespace velnora::ui {

class SettingsSession : public QObject {
  Q_OBJECT
 public:
  SettingsSession(Context& ctx, ForwardingControl& forwarding);

  // Held while a command works on the settings. Holds nest (a dialog opened
  // from another keeps the worker off until the outer one ends); the worker
  // may run again when the last one ends.
  class Hold {
   public:
    Hold() = default;
    Hold(Hold&& other) noexcept : session_(other.session_) { other.session_ = nullptr; }
    Hold& operator=(Hold&&) = delete;
    Hold(const Hold&) = delete;
    ~Hold();
    explicit operator bool() const { return session_ != nullptr; }

   private:
    friend class SettingsSession;
    explicit Hold(SettingsSession* session) : session_(session) {}
    SettingsSession* session_ = nullptr;
  };

  // An empty hold while a pass runs or is about to start.
  Hold Begin();
  bool held() const { return holders_ > 0; }

  // Saves the settings at once, so a reload before the next check cannot
  // undo the change and a crash does not lose it, and announces the change.
  // False when the file could not be written.
  bool Commit();

  Context& context() { return ctx_; }

  // The refusal while forwarding runs, and its title.
  static QString BusyText();
  static QString BusyTitle();

 Q_SIGNALS:
  // The settings changed: lists, layout and tray tip follow them.
  void changed();

 private:
  void Release();

  Context& ctx_;
  ForwardingControl& forwarding_;
  int holders_ = 0;
};

}  // namespace velnora::ui
