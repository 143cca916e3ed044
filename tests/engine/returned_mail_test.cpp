// Delivery failure reports, read receipts and mail from the destinations or
// from the account itself are kept back; replies and other mail go on.
#include "engine/filter/returned_mail.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/filter_test_support.h"

namespace velnora {
namespace {

using testing::SetText;

struct ReturnedCase {
  const char* name;
  std::string header;
  bool forwardReadReceipts;
  bool forwardSmtpErrorMails;
  int goesOn;
};

std::string ReturnedCaseName(const ::testing::TestParamInfo<ReturnedCase>& p) {
  return p.param.name;
}

class ReturnedMailTest : public ::testing::TestWithParam<ReturnedCase> {};

TEST_P(ReturnedMailTest, StopsFailureReportsWithCodeOne) {
  const ReturnedCase& c = GetParam();
  auto account = testing::BlankAccount();
  account->forwardReadReceipts = c.forwardReadReceipts;
  account->forwardSmtpErrorMails = c.forwardSmtpErrorMails;
  MailMessage m = testing::Parsed("From: x@y\r\n" + c.header + "\r\n\r\nbody");
  EXPECT_EQ(Filter_ReturnedMail(m, *account), c.goesOn);
  EXPECT_EQ(CategoryNumber(m.resultCode), c.goesOn ? 0 : 1);
}

const char kDsn[] = "Content-Type: multipart/report; report-type=delivery-status; boundary=b";
const char kMdn[] =
    "Content-Type: multipart/report;\r\n\treport-type=\"disposition-notification\"; boundary=b";

INSTANTIATE_TEST_SUITE_P(
    Reports, ReturnedMailTest,
    ::testing::Values(
        ReturnedCase{"DeliveryStatusReport", kDsn, false, false, 0},
        ReturnedCase{"DeliveryStatusReportWanted", kDsn, false, true, 1},
        ReturnedCase{"ReportWithBlanksAndCase",
                     "Content-Type:  Multipart/Report ; report-type=\"delivery-status\"", false,
                     false, 0},
        ReturnedCase{"ReadReceipt", kMdn, false, false, 0},
        ReturnedCase{"ReadReceiptEvenWithErrorMailsWanted", kMdn, false, true, 0},
        ReturnedCase{"ReadReceiptWanted", kMdn, true, false, 1},
        ReturnedCase{"OtherMultipart", "Content-Type: multipart/mixed; boundary=b", false, false,
                     1}),
    ReturnedCaseName);

INSTANTIATE_TEST_SUITE_P(
    Subjects, ReturnedMailTest,
    ::testing::Values(
        ReturnedCase{"ReturnedMail", "Subject: Returned mail: see transcript", false, false, 0},
        ReturnedCase{"ReturnedMailWanted", "Subject: Returned mail: see transcript", false, true,
                     1},
        ReturnedCase{"ReplyToReturnedMail", "Subject: Re: Returned mail: see transcript", false,
                     false, 1},
        ReturnedCase{"KeywordLaterInSubject", "Subject: about the failure notice", false, false,
                     1},
        ReturnedCase{"MailSystemError", "Subject: MAIL SYSTEM ERROR - returned", false, false, 0},
        ReturnedCase{"CouldNotSend", "Subject: Warning: could not send message for 4 hours",
                     false, false, 0},
        ReturnedCase{"DeliveryFailure", "Subject: Delivery Failure", false, false, 0},
        ReturnedCase{"FailureDelivery", "Subject: failure delivery", false, false, 0},
        ReturnedCase{"FailureNotice", "Subject: failure notice", false, false, 0},
        ReturnedCase{"NonDelivery", "Subject: Non delivery notification: x", false, false, 0},
        ReturnedCase{"NoSpaceAfterColon", "Subject:Returned mail: x", false, false, 0},
        ReturnedCase{"ShortSubject", "Subject: x", false, false, 1}),
    ReturnedCaseName);

struct BounceCase {
  const char* name;
  bool fromDest;
  bool fromMe;
  const char* forwardTo;
  const char* myAddress;
  std::string from;
  int goesOn;
};

std::string BounceCaseName(const ::testing::TestParamInfo<BounceCase>& p) { return p.param.name; }

class AddressBounceTest : public ::testing::TestWithParam<BounceCase> {};

TEST_P(AddressBounceTest, StopsMailFromDestinationsOrOwnAddressWithCodeNine) {
  const BounceCase& c = GetParam();
  auto account = testing::BlankAccount();
  account->noForwardFromDest = c.fromDest;
  account->noForwardFromMe = c.fromMe;
  SetText(account->forwardTo, c.forwardTo);
  SetText(account->myAddress, c.myAddress);
  MailMessage m = testing::Parsed(c.from + "Subject: hi\r\n\r\nbody");
  const int goesOn = Filter_Address_Bounce(m, *account) && Filter_Address_Bounce_FromMe(m, *account);
  EXPECT_EQ(goesOn, c.goesOn);
  EXPECT_EQ(CategoryNumber(m.resultCode), c.goesOn ? 0 : 9);
}

INSTANTIATE_TEST_SUITE_P(
    Senders, AddressBounceTest,
    ::testing::Values(
        BounceCase{"FromDestination", true, false, "a@x.jp   b@y.jp", "me@z.jp",
                   "From: B <B@Y.JP>\r\n", 0},
        BounceCase{"DestinationOnlyInDisplayName", true, false, "a@x.jp b@y.jp", "me@z.jp",
                   "From: \"b@y.jp\" <other@w.jp>\r\n", 0},
        BounceCase{"DestinationCheckOff", false, false, "a@x.jp b@y.jp", "me@z.jp",
                   "From: b@y.jp\r\n", 1},
        BounceCase{"OtherSender", true, true, "a@x.jp b@y.jp", "me@z.jp", "From: c@w.jp\r\n", 1},
        BounceCase{"NoFromLine", true, true, "a@x.jp", "me@z.jp", "To: a@x.jp\r\n", 1},
        BounceCase{"FromMe", false, true, "a@x.jp", "me@z.jp", "From: Me <ME@z.jp>\r\n", 0},
        BounceCase{"FromMeCheckOff", false, false, "a@x.jp", "me@z.jp", "From: me@z.jp\r\n", 1},
        BounceCase{"NoOwnAddressStopsNothing", false, true, "a@x.jp", "", "From: c@w.jp\r\n", 1}),
    BounceCaseName);

}  // namespace
}  // namespace velnora
