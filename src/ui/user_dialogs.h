// The questions, notices and file choosers the window's commands put to the
// user, behind one interface so that the commands run the same under a test
// that answers for the user.
#pragma once

#include <QString>
#include <optional>

#include "config/settings_import.h"

class QWidget;

namespace velnora::ui {

enum class BoxIcon { Information, Warning };

// A file chooser's texts: title (the description of the file kind), the
// pattern, the suffix added to a name without one, where to start and the
// name proposed.
struct FileChoice {
  QString title;
  QString pattern;
  QString suffix;
  QString folder;
  QString name;
};

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  virtual bool AskYesNo(const QString& text, const QString& title, BoxIcon icon = BoxIcon::Information) = 0;
  virtual bool AskOkCancel(const QString& text, const QString& title) = 0;
  virtual void Tell(const QString& text, const QString& title, BoxIcon icon = BoxIcon::Information) = 0;
  // The chosen path, or empty when the user cancelled.
  virtual QString ChooseFileToSave(const FileChoice& choice) = 0;
  virtual QString ChooseFileToOpen(const FileChoice& choice) = 0;
  // Which older edition's settings to take over; none when cancelled.
  virtual std::optional<OldSettingsKind> ChooseImportKind() = 0;
  // One line to edit, without double quotes; none when cancelled.
  virtual std::optional<QString> EditText(const QString& title, const QString& prompt, const QString& text) = 0;
};

// Message boxes (always plain text: mail and server text never become
// markup) and Qt's file dialogs, owned by `parent`.
class WidgetDialogs : public UserDialogs {
 public:
  explicit WidgetDialogs(QWidget* parent) : parent_(parent) {}
  bool AskYesNo(const QString& text, const QString& title, BoxIcon icon) override;
  bool AskOkCancel(const QString& text, const QString& title) override;
  void Tell(const QString& text, const QString& title, BoxIcon icon) override;
  QString ChooseFileToSave(const FileChoice& choice) override;
  QString ChooseFileToOpen(const FileChoice& choice) override;
  std::optional<OldSettingsKind> ChooseImportKind() override;
  std::optional<QString> EditText(const QString& title, const QString& prompt, const QString& text) override;

 private:
  QWidget* parent_;
};

}  // namespace velnora::ui
