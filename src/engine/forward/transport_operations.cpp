#include "engine/forward/transport_operations.h"

#include "config/settings_file.h"
#include "engine/forward/fwd_proc_shared.h"
#include "engine/history/runtime_state.h"
#include "platform/codepage.h"
#include "platform/files.h"
#include "transport/pop3/pop3_client.h"
#include "transport/smtp/smtp_client.h"
#include "transport/smtp/smtp_command.h"
#include "transport/uidl/uidl_store.h"

namespace velnora {

int TransportOperations::OpenRcvSession(int i) {
  TransportEnv env = ctx_.EnvFor(i);
  const int count = velnora::OpenRcvSession(env, ctx_.account(i), ctx_.runtimeOf(i));
  if (count >= 0) SetServerMailCount(ctx_, i, count);
  return count;
}

void TransportOperations::CloseSession(int i, bool sendQuit) {
  TransportEnv env = ctx_.EnvFor(i);
  velnora::CloseSession(env, ctx_.runtimeOf(i).session, sendQuit, &ctx_.account(i));
}

int TransportOperations::OpenSendSession(int i) {
  TransportEnv env = ctx_.EnvFor(i);
  if (velnora::OpenSendSession(env, ctx_.account(i), ctx_.runtimeOf(i).session)) return 0;
  velnora::CloseSession(env, ctx_.runtimeOf(i).session, false, &ctx_.account(i));
  return -1;
}

int TransportOperations::SmtpGreet(int i) {
  TransportEnv env = ctx_.EnvFor(i);
  return velnora::SmtpGreet(env, ctx_.account(i), ctx_.runtimeOf(i).session);
}

bool TransportOperations::SendRset(int i) {
  TransportEnv env = ctx_.EnvFor(i);
  std::string reply;
  return SmtpExchange(env, ctx_.runtimeOf(i).session, ctx_.account(i), "RSET\r\n", reply) >= 0;
}

int TransportOperations::MarkAllAsForwarded(int i) {
  TransportEnv env = ctx_.EnvFor(i);
  return velnora::MarkAllAsForwarded(env, ctx_.account(i), ctx_.runtimeOf(i));
}

int TransportOperations::DeleteHandledMails(int i, HandledDeletion& done) {
  done = {};
  if (ctx_.runtimeOf(i).statCount <= 0) return 1;  // nothing on the server at the last check
  TransportEnv env = ctx_.EnvFor(i);
  return velnora::DeleteHandledMails(env, ctx_.account(i), ctx_.runtimeOf(i), done);
}

void TransportOperations::PopDelay(int i) {
  TransportEnv env = ctx_.EnvFor(i);
  PopSessionDelay(env, ctx_.account(i));
}

void TransportOperations::FwdProc(int i) {
  if (ctx_.runtimeOf(i).laneFolder.empty()) {
    velnora::FwdProc(ctx_, i, message_, steps_);
    return;
  }
  MailMessage message;
  velnora::FwdProc(ctx_, i, message, steps_);
}

bool TransportOperations::BeginLaneCheck(int i, int lane) {
  // Each lane has a folder of its own: received and outgoing files are
  // numbered by position, which accounts checked at once would share.
  const std::string folder = platform::JoinPath(ctx_.tempFolder, "lane" + std::to_string(lane));
  if (!platform::EnsurePrivateFolder(folder)) {
    ctx_.log->AddActivity(SJIS(u8"一時フォルダを作成できませんでした。このアカウントは次回チェックします。"), Category::ServerNotice, &ctx_.account(i));
    return false;
  }
  ctx_.runtimeOf(i).laneFolder = folder;
  return true;
}

void TransportOperations::EndCheck(int i) {
  AccountRuntime& runtime = ctx_.runtimeOf(i);
  runtime.laneFolder.clear();
  runtime.ReleaseCheckTables();
}

void TransportOperations::SaveUidlStore() { SaveRuntimeState(ctx_, nullptr); }

void TransportOperations::ReloadSettings() {
  // A damaged file is not taken as read: the pass keeps the settings it has.
  const std::string current = ctx_.location.CurrentFolderSettingsPath();
  const std::string path = platform::FileExists(current) ? current : ctx_.location.SettingsPath();
  const SettingsFileCheck check = CheckSettingsFile(path);
  if (check.state != SettingsFileState::Whole && check.state != SettingsFileState::Missing) {
    ctx_.log->WriteSessionLog("****: settings not reloaded: " + SettingsFileProblem(path, check) + "\r\n");
    ctx_.log->AddActivity(SJIS(u8"環境設定ファイルが壊れているため、再読み込みしませんでした。"), Category::ServerNotice, nullptr);
    return;
  }
  LoadSettings(*ctx_.settings, ctx_.location, ctx_.reporter.Screen(), false);
}

}  // namespace velnora
