// velnora_screenshots OUTDIR: the main window in each layout, the tray
// menu, the eight pages of the settings sheet, the two template dialogs and
// the log details of a forwarded mail as PNG files, with sample accounts and
// activity, taken from the program's own window classes. Every text shown is
// checked for characters that no installed font can draw, and the labels,
// boxes and buttons of the sheet and the dialogs for being cut short; exit
// status 1 names them.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QMenuBar>
#include <QTabWidget>
#include <QTextLayout>
#include <QToolBar>
#include <cstdio>
#include <filesystem>

#include "engine/context.h"
#include "platform/codepage.h"
#include "report/activity_log.h"
#include "support/temp_folder.h"
#include "support/test_text.h"
#include "ui/activity_model.h"
#include "ui/desktop.h"
#include "ui/log_details_dialog.h"
#include "ui/settings_sheet.h"
#include "ui/template_dialogs.h"

namespace velnora::ui {
namespace {

void Settle() {
  for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
}

// Characters of `text` that the font and its fallbacks have no glyph for:
// each one is laid out alone and looked for glyph 0.
QString MissingGlyphs(const QString& text, const QFont& font) {
  QString missing;
  for (const uint code : text.toUcs4()) {
    const QString one = QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
    if (one.at(0).isSpace() || missing.contains(one)) continue;
    QTextLayout layout(one, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    for (const QGlyphRun& run : layout.glyphRuns()) {
      if (run.glyphIndexes().contains(0u)) missing += one;
    }
  }
  return missing;
}

class GlyphCheck {
 public:
  void Check(const QString& where, const QString& text, const QFont& font) {
    const QString missing = MissingGlyphs(text, font);
    if (missing.isEmpty()) return;
    std::fprintf(stderr, "missing glyphs in %s: \"%s\" (%s)\n", where.toUtf8().constData(), text.toUtf8().constData(),
                 missing.toUtf8().constData());
    ++failures_;
  }
  void CheckMenu(const QString& where, const QMenu& menu) {
    for (const QAction* action : menu.actions()) {
      Check(where, action->text(), menu.font());
      if (action->menu()) CheckMenu(where + QStringLiteral(" > ") + action->text(), *action->menu());
    }
  }
  void CheckHeaders(const QString& where, const QTableView& view) {
    const QAbstractItemModel& model = *view.model();
    for (int c = 0; c < model.columnCount(); ++c) {
      Check(where, model.headerData(c, Qt::Horizontal).toString(), view.horizontalHeader()->font());
    }
    for (int r = 0; r < model.rowCount(); ++r) {
      for (int c = 0; c < model.columnCount(); ++c) Check(where, model.index(r, c).data().toString(), view.font());
    }
  }
  // Every caption, label and check box of the shown page: drawable, and
  // as wide as its text needs.
  void CheckPage(const QString& where, QWidget& page) {
    for (const QLabel* label : page.findChildren<QLabel*>()) {
      if (!label->isVisible()) continue;
      Check(where, label->text(), label->font());
      if (!label->wordWrap()) CheckWidth(where, label->text(), label->width(), label->sizeHint().width());
    }
    for (const QCheckBox* box : page.findChildren<QCheckBox*>()) {
      if (!box->isVisible()) continue;
      Check(where, box->text(), box->font());
      CheckWidth(where, box->text(), box->width(), box->sizeHint().width());
    }
  }
  // A dialog: its title, labels and check boxes as on a page, its buttons
  // and the texts of its fields.
  void CheckDialog(const QString& where, QDialog& dialog) {
    Check(where, dialog.windowTitle(), dialog.font());
    CheckPage(where, dialog);
    for (const QPushButton* button : dialog.findChildren<QPushButton*>()) {
      if (!button->isVisible()) continue;
      Check(where, button->text(), button->font());
      CheckWidth(where, button->text(), button->width(), button->sizeHint().width());
    }
    // A read-only field shows the sample mail's values whole (the user cannot
    // scroll what is not focused at a glance).
    for (const QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
      if (!edit->isVisible()) continue;
      Check(where, edit->text(), edit->font());
      if (!edit->isReadOnly()) continue;
      const int frame = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, edit);
      CheckWidth(where, edit->text(), edit->width() - 2 * frame - 4,
                 edit->fontMetrics().horizontalAdvance(edit->text()));
    }
  }
  void CheckWidth(const QString& where, const QString& text, int width, int needed) {
    if (width >= needed) return;
    std::fprintf(stderr, "clipped in %s: \"%s\" (%d of %d pixels)\n", where.toUtf8().constData(),
                 text.toUtf8().constData(), width, needed);
    ++failures_;
  }
  int failures() const { return failures_; }

 private:
  int failures_ = 0;
};

void FillSample(Context& ctx) {
  const char8_t* names[] = {u8"本社 代表", u8"営業部", u8"サポート窓口", u8"個人用", u8"携帯転送"};
  for (int i = 0; i < 5; ++i) {
    AccountSettings& a = ctx.account(i);
    a.enabled = 1;
    a.pollInterval = int16_t(5 + i);
    testing::SetText(a.accountName, platform::Cp932FromUtf8Literal(names[i]));
    testing::SetText(a.forwardTo, "forward" + std::to_string(i) + "@example.jp");
    ctx.stats.forwardedCount[std::size_t(i)] = 12 * i + 3;
    ctx.stats.filteredCount[std::size_t(i)] = i;
    ctx.stats.serverMailCount[std::size_t(i)] = 2 * i;
  }
  ctx.account(4).partProcessing = 1;
  ctx.log->AddActivity(SJIS(u8"サーバーへの接続を確認しました"), Category::Information, &ctx.account(0));
  ctx.log->AddActivity(SJIS(u8"新着メール 3 通を転送しました（会議資料・見積書）"), Category::Forwarded, &ctx.account(1));
  ctx.log->AddActivity(SJIS(u8"添付ファイルを取って携帯電話へ転送しました"), Category::ForwardedToPhone, &ctx.account(4));
  ctx.log->AddActivity(SJIS(u8"二重転送制限で未転送: 同じメッセージを受信済み"), Category::Duplicate, &ctx.account(2));
  ctx.log->AddActivity(SJIS(u8"SMTP 550エラー: 宛先が存在しません"), Category::Refused550, &ctx.account(3));
  ctx.reporter.StatusChanged(SJIS(u8"[営業部] 待機中.."), 4);
}

// A forwarded mail with a Japanese subject and sender as the worker
// reports it, encoded as they arrive.
void AddForwardedMail(Context& ctx) {
  MessageActivity mail;
  mail.fileSize = 48213;
  mail.statCount = 3;
  mail.subject =
      "Subject: =?iso-2022-jp?b?GyRCIVo9RU1XIVtNaD01JE5Eak5jMnE1RCROO3FOQSRLJEQkJCRGIUobKEI=?= "
      "=?iso-2022-jp?b?GyRCQmgbKEIzGyRCSEchSxsoQg==?=";  // 【重要】来週の定例会議の資料について（第3版）
  mail.from = "From: =?iso-2022-jp?b?GyRCOzNFRBsoQiAbJEJCQE86GyhC?= <taro.yamada@example.co.jp>";  // 山田 太郎
  mail.to = "To: =?utf-8?b?5Za25qWt6YOoIOS9kOiXpA==?= <sales@example.jp>";  // 営業部 佐藤
  mail.messageId = "<20261209083015.4711@mail.example.co.jp>";
  mail.date = "Wed, 9 Dec 2026 08:30:15 +0900";
  ctx.log->AddMessageActivity(mail, ctx.account(1));
}

// The row of the activity list that shows a mail, not an event.
const ActivityRow* MailRow(const ActivityModel& model) {
  for (int i = 0; i < model.rowCount(); ++i) {
    if (model.row(i).columns[0] != "Info") return &model.row(i);
  }
  return nullptr;
}

// Shows `dialog` over the window, saves it as `file` and checks its texts.
int Shoot(QDialog& dialog, const QString& file, GlyphCheck& glyphs) {
  dialog.show();
  Settle();
  const bool saved = dialog.grab().save(file);
  glyphs.CheckDialog(dialog.windowTitle(), dialog);
  dialog.reject();
  return saved ? 1 : 0;
}

int Run(const QString& outDir) {
  testing::TempFolder home;
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_RUNTIME_DIR"}) {
    std::filesystem::create_directory(home.File(name));
    std::filesystem::permissions(home.File(name), std::filesystem::perms::owner_all);
    qputenv(name, QByteArray::fromStdString(home.File(name)));
  }
  std::filesystem::create_directory(home.File("settings"));
  Desktop desktop(SettingsLocation::ForFolder(home.File("settings")), nullptr);
  if (desktop.Open() != Desktop::Start::Running) {
    std::fprintf(stderr, "velnora_screenshots: %s\n", desktop.refusal().toUtf8().constData());
    return 1;
  }
  MainWindow& window = *desktop.window();
  Context& ctx = *desktop.context();
  FillSample(ctx);
  AddForwardedMail(ctx);
  window.resize(1000, 520);
  window.show();
  window.ShowSettings();
  Settle();

  QDir().mkpath(outDir);
  int written = 0;
  for (int mode = 0; mode < 4; ++mode) {
    ctx.common().viewMode = int16_t(mode);
    window.ApplyLayout();
    Settle();
    written += window.grab().save(outDir + QStringLiteral("/main_window_layout%1.png").arg(mode));
  }
  QMenu& tray = window.trayMenu();
  tray.popup(window.mapToGlobal(QPoint(window.width() - 200, 80)));
  Settle();
  written += tray.grab().save(outDir + QStringLiteral("/tray_menu.png"));
  tray.hide();

  GlyphCheck glyphs;
  for (QAction* menu : window.menuBar()->actions()) {
    glyphs.Check(QStringLiteral("menu bar"), menu->text(), window.menuBar()->font());
    if (menu->menu()) glyphs.CheckMenu(menu->text(), *menu->menu());
  }
  for (QToolBar* bar : window.findChildren<QToolBar*>()) {
    for (QAction* tool : bar->actions()) {
      glyphs.Check(QStringLiteral("toolbar"), tool->text(), bar->font());
      glyphs.Check(QStringLiteral("tool tip"), tool->toolTip(), bar->font());
    }
  }
  glyphs.CheckMenu(QStringLiteral("tray menu"), tray);
  glyphs.CheckHeaders(QStringLiteral("activity list"), window.activityView());
  glyphs.CheckHeaders(QStringLiteral("account list"), window.accountView());
  glyphs.Check(QStringLiteral("status bar"), window.statusText().text(), window.statusText().font());
  glyphs.Check(QStringLiteral("title"), window.windowTitle(), window.font());

  {
    WidgetDialogs dialogs(&window);
    SettingsSheet sheet(*ctx.settings, 1, dialogs, &window);
    sheet.show();
    for (int page = 0; page < sheet.tabs()->count(); ++page) {
      sheet.tabs()->setCurrentIndex(page);
      Settle();
      written += sheet.grab().save(outDir + QStringLiteral("/settings_page%1.png").arg(page + 1));
      glyphs.Check(QStringLiteral("settings tabs"), sheet.tabs()->tabText(page), sheet.tabs()->font());
      glyphs.CheckPage(QStringLiteral("settings page ") + sheet.tabs()->tabText(page), *sheet.tabs()->currentWidget());
    }
    sheet.reject();
  }
  {
    ApplyTemplateDialog apply(3, 5, true, &window);
    written += Shoot(apply, outDir + QStringLiteral("/apply_template.png"), glyphs);
    CopyToTemplateDialog copy(7, &window);
    written += Shoot(copy, outDir + QStringLiteral("/copy_to_template.png"), glyphs);
    if (const ActivityRow* row = MailRow(window.activityModel())) {
      LogDetailsDialog details(*row, [](FilterList) {}, &window);
      written += Shoot(details, outDir + QStringLiteral("/log_details.png"), glyphs);
    } else {
      std::fprintf(stderr, "no forwarded mail in the activity list\n");
    }
  }

  desktop.Quit(Desktop::QuitSource::Signal);
  Settle();
  std::printf("%d screenshots in %s; %d texts with missing glyphs or cut short\n", written, outDir.toUtf8().constData(),
              glyphs.failures());
  return written == 5 + 8 + 3 && glyphs.failures() == 0 ? 0 : 1;
}

}  // namespace
}  // namespace velnora::ui

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  if (argc != 2) {
    std::fprintf(stderr, "usage: velnora_screenshots OUTDIR\n");
    return 2;
  }
  return velnora::ui::Run(QString::fromLocal8Bit(argv[1]));
}
