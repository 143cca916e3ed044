// The message text as it goes over the wire after DATA, without any I/O.
//
// Every line ends with CR LF on the wire, whatever ended it in the text
// (CR LF, a bare LF, or in the body a bare CR: in the header a bare CR
// becomes a space, so that it can neither end the header early nor make a
// line the text does not have), and every line that begins with "." gets
// one more "." in front (RFC 5321 4.5.2), header lines included. A received
// mail can therefore never end the DATA early with a "." line or a bare-LF
// "\n.\r\n" in its headers and smuggle commands after it. A last line
// without a line end is sent with one rather than lost.
//
// The wire bytes are gathered and handed out in large pieces so that no
// small write waits for an acknowledgement; a piece ends after a ">" once it
// holds more than kDataPieceSoftLimit bytes (an HTML tag end is a kind place
// to cut) and at the latest after kDataPieceHardLimit + 1 bytes. A piece
// boundary is never a line start: stuffing follows the text's lines only.
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

namespace velnora {

inline constexpr std::size_t kDataPieceSoftLimit = 65280;
inline constexpr std::size_t kDataPieceHardLimit = 65528;

// The first line of a message text names the original sender for the
// envelope and is never transmitted.
std::string_view ControlLineSender(std::string_view text);  // up to CR or LF
std::string_view SkipControlLine(std::string_view text);    // after the first LF

// Receives each piece of wire bytes and the position in the text reached;
// returns false to abandon the transfer.
using DataPieceSink = std::function<bool(std::string_view wire, std::size_t textPosition)>;
// Receives each header line and the terminating line as sent (for the
// session log); body lines are not reported.
using DataLogSink = std::function<void(std::string_view line)>;

// Writes `text` (control line already skipped) and the terminating ".".
// False when the sink abandoned the transfer.
bool WriteDataText(std::string_view text, const DataPieceSink& send, const DataLogSink& log);

}  // namespace velnora
