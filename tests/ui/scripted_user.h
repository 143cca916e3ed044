// The user, as a script, for the window's commands and dialogs: answers to
// the questions in order, the file every file dialog chooses, and a record
// of what the program asked and told.
#pragma once

#include <QStringList>
#include <deque>

#include "ui/user_dialogs.h"

namespace velnora::ui {

class ScriptedUser : public UserDialogs {
 public:
  std::deque<bool> answers;  // yes/OK when true; an unscripted question is answered no
  QString file;              // chosen in every file dialog (empty: cancelled)
  QStringList asked, askedTitles, told, toldTitles;
  QStringList edited;        // what the edit box proposed (it is taken unchanged)
  int fileDialogs = 0;

  bool AskYesNo(const QString& text, const QString& title, BoxIcon) override { return Answer(text, title); }
  bool AskOkCancel(const QString& text, const QString& title) override { return Answer(text, title); }
  void Tell(const QString& text, const QString& title, BoxIcon) override {
    told << text;
    toldTitles << title;
  }
  QString ChooseFileToSave(const FileChoice&) override { return ++fileDialogs, file; }
  QString ChooseFileToOpen(const FileChoice&) override { return ++fileDialogs, file; }
  std::optional<OldSettingsKind> ChooseImportKind() override { return std::nullopt; }
  std::optional<QString> EditText(const QString&, const QString&, const QString& text) override {
    edited << text;
    return text;
  }

 private:
  bool Answer(const QString& text, const QString& title) {
    asked << text;
    askedTitles << title;
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace velnora::ui
