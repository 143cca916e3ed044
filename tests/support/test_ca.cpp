#include "test_ca.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace velnora::testing {
namespace {

bool Run(const std::string& command, const std::string& logFile, std::string& error) {
  const std::string line = command + " >>'" + logFile + "' 2>&1";
  if (std::system(line.c_str()) != 0) {
    error = "failed: " + command;
    return false;
  }
  return true;
}

}  // namespace

bool MakeTestCertificates(const std::string& folder, const std::string& subjectAltNames,
                          TestCertificates& out, std::string& error) {
  out.caFile = folder + "/ca.pem";
  out.certFile = folder + "/server.pem";
  out.keyFile = folder + "/server.key";
  const std::string caKey = folder + "/ca.key";
  const std::string csr = folder + "/server.csr";
  const std::string ext = folder + "/server.ext";
  const std::string log = folder + "/openssl.log";
  {
    std::ofstream extFile(ext);
    extFile << "subjectAltName=" << subjectAltNames << "\n"
            << "basicConstraints=CA:FALSE\n"
            << "keyUsage=digitalSignature,keyEncipherment\n"
            << "extendedKeyUsage=serverAuth\n";
  }
  const std::string ec = "-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";
  if (!Run("openssl req -x509 " + ec + " -keyout '" + caKey + "' -out '" + out.caFile +
               "' -days 2 -subj '/CN=Velnora Test CA'"
               " -addext basicConstraints=critical,CA:TRUE"
               " -addext keyUsage=critical,keyCertSign,cRLSign",
           log, error) ||
      !Run("openssl req " + ec + " -keyout '" + out.keyFile + "' -out '" + csr +
               "' -subj '/CN=velnora-test-server'",
           log, error) ||
      !Run("openssl x509 -req -in '" + csr + "' -CA '" + out.caFile + "' -CAkey '" + caKey +
               "' -CAcreateserial -out '" + out.certFile + "' -days 2 -extfile '" + ext + "'",
           log, error)) {
    return false;
  }
  // Server processes that drop privileges must be able to read the key.
  ::chmod(out.keyFile.c_str(), 0644);
  return true;
}

}  // namespace velnora::testing
