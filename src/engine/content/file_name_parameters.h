// The parameters of MIME header lines ("; attribute=value", quoted or
// not), and the RFC 2231 forms that spread one value over several
// parameters ("filename*0*=utf-8''%E5%A0%B1; filename*1*=...").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace velnora {

struct HeaderParameter {
  std::string attribute;  // lower case, "*" and section numbers included
  std::string value;      // quotes and backslash escapes removed
};

// Every "attribute=value" that follows ";" or a blank in the (possibly
// folded) header lines, in order.
std::vector<HeaderParameter> ParseHeaderParameters(std::string_view headerLines);

// The value of parameter `base`: an RFC 2231 value ("base*", or the
// sections "base*0", "base*1*", ...) as one Base64 encoded-word of its
// charset (raw bytes when it names none), else the plain "base" value.
// Empty when the parameter is absent. At most 997 bytes of name.
std::string AssembleParameter(const std::vector<HeaderParameter>& parameters,
                              std::string_view base);

}  // namespace velnora
