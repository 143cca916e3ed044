// Address texts of the forwarded header: the envelope sender, bare
// addresses without display names, completion of local names with the own
// domain, the destination lists and the sender-replacement list.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velnora {

// Limits of the address lists, as the settings and header texts bound them.
inline constexpr std::size_t kMaxCompletedAddresses = 400;
inline constexpr std::size_t kMaxAddressItem = 65535;
inline constexpr std::size_t kMaxReplaceFromAddresses = 100;
// A reduced address list is folded once a line holds this many bytes.
inline constexpr std::size_t kAddressFoldColumn = 73;

// Header-name lengths kept in front of a reduced line.
inline constexpr std::size_t kKeepValue = 0;
inline constexpr std::size_t kKeepToCc = 3;      // "To:", "Cc:"
inline constexpr std::size_t kKeepFrom = 5;      // "From:"
inline constexpr std::size_t kKeepReplyTo = 9;   // "Reply-To:"

// The MAIL FROM address of a From line (CR and LF already removed): the text
// in angle brackets outside double quotes, else the address after a leading
// comment, else the value before a trailing comment.
std::string ExtractEnvelopeAddress(std::string_view fromLine);

// The line's first `keep` bytes (its header name) followed by its addresses
// reduced to bare addresses: a display name and the angle brackets go, the
// separators stay, and the list is folded at kAddressFoldColumn.
std::string StripAddressInfo(std::string_view line, std::size_t keep);

// `name` followed by the addresses of the line's value, each reduced to its
// bare address and completed with "@" and `domain` when it has no "@", each
// followed by ", ". Group syntax ("name:;") is kept as it is.
std::string AddDomainToAddresses(std::string_view line, std::string_view domain,
                                 std::string_view name);

// In each "\r\n\r\n" the first line end becomes two spaces.
std::string JoinFolds(std::string_view line);

// True when one of the space-separated addresses of `list` occurs in the
// From line (without regard to case).
bool MatchesFromReplaceList(std::string_view fromLine, std::string_view list);

// forwardTo for Cc: every run of spaces becomes ", ".
std::string DestinationList(std::string_view forwardTo);

// forwardTo for Resent-To: the addresses joined with ", ".
std::string ResentToList(std::string_view forwardTo);

// forwardTo's first destination (the text before its first space).
std::string_view FirstDestination(std::string_view forwardTo);

// The text of myAddress after its first "@"; empty without one.
std::string_view OwnDomain(std::string_view myAddress);

}  // namespace velnora
