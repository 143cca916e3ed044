// A throw-away certificate authority and a server certificate signed by it,
// made with the openssl command in a test's folder. Tests point
// SSL_CERT_FILE at caFile() so the program trusts only this CA.
#pragma once

#include <string>

namespace velnora::testing {

struct TestCertificates {
  std::string caFile;      // CA certificate (PEM)
  std::string certFile;    // server certificate (PEM), signed by the CA
  std::string keyFile;     // server private key (PEM), readable by all
};

// Makes the files in `folder`. `subjectAltNames` is the openssl form, e.g.
// "DNS:localhost" or "DNS:localhost,IP:127.0.0.1". False (with `error`)
// when the openssl command failed.
bool MakeTestCertificates(const std::string& folder, const std::string& subjectAltNames,
                          TestCertificates& out, std::string& error);

}  // namespace velnora::testing
