#include "transport/smtp/smtp_data.h"

#include <string>

namespace velnora {

std::string_view ControlLineSender(std::string_view text) {
  return text.substr(0, text.find_first_of("\r\n"));
}

std::string_view SkipControlLine(std::string_view text) {
  std::size_t lf = text.find('\n');
  return lf == std::string_view::npos ? std::string_view() : text.substr(lf + 1);
}

namespace {

class PieceWriter {
 public:
  explicit PieceWriter(const DataPieceSink& send) : send_(send) {
    buffer_.reserve(kDataPieceHardLimit + 8);
  }

  bool Put(char c, std::size_t textPosition) {
    bool cut = (buffer_.size() > kDataPieceSoftLimit && c == '>') ||
               buffer_.size() > kDataPieceHardLimit;
    buffer_.push_back(c);
    return !cut || Flush(textPosition);
  }

  bool Put(std::string_view bytes, std::size_t textPosition) {
    for (char c : bytes)
      if (!Put(c, textPosition)) return false;
    return true;
  }

  bool Flush(std::size_t textPosition) {
    if (buffer_.empty()) return true;
    bool ok = send_(buffer_, textPosition);
    buffer_.clear();
    return ok;
  }

 private:
  const DataPieceSink& send_;
  std::string buffer_;
};

}  // namespace

bool WriteDataText(std::string_view text, const DataPieceSink& send, const DataLogSink& log) {
  PieceWriter out(send);
  bool inHeader = true;
  std::string logLine;
  std::string headerLine;
  std::size_t pos = 0;
  while (pos < text.size()) {
    // In the header only LF ends a line: a lone CR there would otherwise end
    // a line on the wire, and "\r\r\n" would become the empty line that ends
    // the header early.
    std::size_t end = text.find_first_of(inHeader ? "\n" : "\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    std::size_t next = end;
    if (next < text.size()) {
      next += (text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n') ? 2 : 1;
    }
    std::string_view line = text.substr(pos, end - pos);
    if (inHeader) {
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);  // CR LF, or a last CR
      headerLine.assign(line);
      for (char& c : headerLine) {
        if (c == '\r') c = ' ';
      }
      line = headerLine;
    }
    bool stuffed = !line.empty() && line.front() == '.';
    if (stuffed && !out.Put('.', next)) return false;
    if (!out.Put(line, next) || !out.Put("\r\n", next)) return false;
    if (inHeader) {
      logLine.assign(stuffed ? "." : "").append(line).append("\r\n");
      log(logLine);
      inHeader = !line.empty();
    }
    pos = next;
  }
  if (!out.Put(".\r\n", text.size())) return false;
  log(".\r\n");
  return out.Flush(text.size());
}

}  // namespace velnora
