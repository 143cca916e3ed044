#include "ui/log_details_dialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "report/log_fields.h"
#include "ui/ui_text.h"

namespace velnora::ui {

LogDetailsDialog::LogDetailsDialog(const ActivityRow& row, std::function<void(FilterList)> add, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("ログの情報"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  // Mail text in read-only line edits: selectable, copied with Ctrl+C, never markup.
  auto field = [this](const std::string& text, const char* name) {
    auto* edit = new QLineEdit(FromCp932(text), this);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setReadOnly(true);
    edit->setCursorPosition(0);
    return edit;
  };
  form->addRow(QStringLiteral("アカウント"), field(row.columns[1], "account"));
  form->addRow(QStringLiteral("日時"), field(row.columns[2], "date"));
  form->addRow(QStringLiteral("サイズ"), field(row.columns[0], "size"));
  auto* subject = field(row.columns[3], "subject");
  auto* sender = field(row.columns[4], "sender");
  // The buttons beside them take their room; a common subject or a sender
  // with name and address still shows whole.
  const int mailTextWidth = subject->fontMetrics().horizontalAdvance(QString(32, QChar(0x3042)));
  subject->setMinimumWidth(mailTextWidth);
  sender->setMinimumWidth(mailTextWidth);
  auto* toSubject = new QPushButton(QStringLiteral("←題名フィルタに追加"), this);
  auto* toFrom = new QPushButton(QStringLiteral("←差出人フィルタに追加"), this);
  auto withButton = [this](QWidget* edit, QPushButton* button) {
    auto* box = new QWidget(this);
    auto* line = new QHBoxLayout(box);
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(edit, 1);
    line->addWidget(button);
    return box;
  };
  form->addRow(QStringLiteral("題名"), withButton(subject, toSubject));
  form->addRow(QStringLiteral("差出人"), withButton(sender, toFrom));
  form->addRow(QStringLiteral("宛先"), field(row.columns[5], "recipient"));
  form->addRow(QStringLiteral("状態"), field(CategoryText(row.code), "status"));
  layout->addLayout(form);
  auto* hint = new QLabel(QStringLiteral("各ボックスを選択してから [Ctrl+C] でクリップボードに情報をコピーできます"), this);
  hint->setTextFormat(Qt::PlainText);
  layout->addWidget(hint);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  connect(toFrom, &QPushButton::clicked, this, [add] { add(FilterList::From); });
  connect(toSubject, &QPushButton::clicked, this, [add] { add(FilterList::Subject); });
}

}  // namespace velnora::ui
