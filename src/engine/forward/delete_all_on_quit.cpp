// The deletion at quit. It runs on the worker like any pass, so the window
// keeps painting through 400 sessions and their time-outs, and it deletes
// only what a check has handled: mail that came in after the last check is
// left for the next run instead of being lost unforwarded.
#include "engine/forward/passes.h"
#include "platform/codepage.h"
#include "platform/text_format.h"

namespace velnora {

void PassRunner::DeleteAllOnQuit() {
  for (int i = 0; i < kAccountCount && !Stopping(); ++i) {
    const AccountSettings& account = Account(i);
    if (!account.enabled || account.deleteAfterForward) continue;
    Touch();
    HandledDeletion done;
    switch (ops_.DeleteHandledMails(i, done)) {
      case 1:
        if (done.deleted == 0 && done.kept == 0) break;
        if (done.kept == 0) {
          log_.AddActivity(SJIS(u8"メールボックスのメールを全て削除しました"), Category::ServerNotice, &account);
        } else {
          log_.AddActivity(Sprintf(SJIS(u8"転送済みのメール %d 通を削除しました。未処理のメール %d 通は残しました").c_str(),
                                   done.deleted, done.kept),
                           Category::ServerNotice, &account);
        }
        break;
      case 2:
        log_.AddActivity(SJIS(u8"UIDLを使わない設定のため、終了時の削除は行いませんでした"), Category::ServerNotice, &account);
        break;
      case 0:
        break;  // the failed log-in was reported
      default:
        log_.AddActivity(SJIS(u8"メールの削除が中断されました。サーバーのメールは削除前のまま残っています"),
                         Category::ServerReply, &account);
        break;
    }
    log_.RefreshAccountList();
  }
  UpdateStatusSummary();
}

}  // namespace velnora
