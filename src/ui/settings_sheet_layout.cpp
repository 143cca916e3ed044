#include "ui/settings_sheet_layout.h"

#include <algorithm>

namespace velnora::ui {
namespace {

struct PageOrder {
  SettingsPage page;
  std::vector<std::string_view> first;  // these rows, in this order, before the rest
};

const std::vector<PageOrder>& Orders() {
  static const std::vector<PageOrder> orders = {
      {SettingsPage::Server,
       {"accountName", "enabled", "remoteSuspended", "popServer", "popPort", "popSsl", "popStartTls", "useApop",
        "popUser", "popPassword", "smtpServer", "smtpPort", "smtpSsl", "smtpStartTls", "smtpAuth", "tlsNoVerify",
        "myAddress", "forwardTo", "apportion", "pollInterval", "deleteAfterForward", "deleteIncludingFiltered",
        "spamEraser", "popDelayOn", "popDelaySec", "smtpDelayOn", "smtpDelaySec", "markAllForwardedNext"}},
      {SettingsPage::PartProcessing,
       {"partProcessing", "oversizeKb", "oversizeStripAttachments", "oversizeDrop", "keepExtensionsOn",
        "keepExtensions", "preferHtmlPart", "htmlToText", "extractLinks", "extractTitles", "extractImageAlt"}},
      {SettingsPage::Filters,
       {"filterMode", "filterFromOn", "filterFrom", "filterFromAll", "filterToOn", "filterTo", "filterToAll",
        "filterCcOn", "filterCc", "filterCcAll", "filterSubjectOn", "filterSubject", "filterSubjectAll",
        "filterMailerOn", "filterMailerUserAgent", "filterMailer", "filterDateOn", "filterDate",
        "filterContentTypeOn", "filterContentType", "filterSubjectCharset"}},
      {SettingsPage::Antispam, {"alwaysForwardFromOn", "alwaysForwardFrom", "replaceFromOn", "replaceFromList"}},
      {SettingsPage::Schedule, {"useSchedule", "scheduleStops", "scheduleDropArrivals"}},
  };
  return orders;
}

std::size_t Rank(const std::vector<std::string_view>& first, std::string_view name) {
  const auto at = std::find(first.begin(), first.end(), name);
  return at == first.end() ? first.size() : std::size_t(at - first.begin());
}

}  // namespace

std::vector<const FieldInfo*> FieldsInPageOrder(SettingsPage page, bool forAccount) {
  std::vector<const FieldInfo*> fields;
  const auto kinds = forAccount ? std::vector<SettingsRecord>{SettingsRecord::Account, SettingsRecord::Extra}
                                : std::vector<SettingsRecord>{SettingsRecord::Common};
  for (SettingsRecord kind : kinds) {
    for (const FieldInfo& field : FieldsOf(kind)) {
      if (field.page == page && !field.IsFiller() && !field.Has(kReadOnly)) fields.push_back(&field);
    }
  }
  const auto order = std::find_if(Orders().begin(), Orders().end(), [page](const PageOrder& o) { return o.page == page; });
  if (order != Orders().end()) {
    std::stable_sort(fields.begin(), fields.end(), [&](const FieldInfo* a, const FieldInfo* b) {
      return Rank(order->first, a->name) < Rank(order->first, b->name);
    });
  }
  return fields;
}

ServerDialog ServerDialogOf(std::string_view name) {
  if (name == "smtpAuthUser" || name == "smtpAuthPassword") return ServerDialog::SmtpAuth;
  static constexpr std::string_view kSeparate[] = {"useSeparateSmtp", "separateSmtpSender", "popBeforeSmtp",
                                                   "pbsServer",       "pbsPort",            "pbsUser",
                                                   "pbsPassword",     "pbsApop",            "pbsSsl"};
  return std::find(std::begin(kSeparate), std::end(kSeparate), name) != std::end(kSeparate) ? ServerDialog::SeparateSmtp
                                                                                           : ServerDialog::None;
}

QString HelpPageOf(SettingsPage page) {
  switch (page) {
    case SettingsPage::Server: return QStringLiteral("help/help_01.html");
    case SettingsPage::PartProcessing: return QStringLiteral("help/help_02.html");
    case SettingsPage::Filters: return QStringLiteral("help/help_03.html");
    case SettingsPage::Antispam: return QStringLiteral("help/help_04.html");
    case SettingsPage::Advanced: return QStringLiteral("help/help_022.html");
    case SettingsPage::FeaturePhone: return QStringLiteral("help/help_05.html");
    case SettingsPage::Schedule: return QStringLiteral("help/help_07.html");
    case SettingsPage::Common: return QStringLiteral("help/help_06.html");
    default: return {};
  }
}

bool HasCopyButton(std::string_view name) {
  return name == "filterFrom" || name == "filterTo" || name == "filterCc" || name == "filterSubject";
}

}  // namespace velnora::ui
