#include "support/TestCertificates.h"

namespace qimtest {
namespace {

std::string Quote(const std::string& s) { return "'" + s + "'"; }

}  // namespace

TestCertificates& TestCertificates::Shared() {
    static TestCertificates certificates;
    return certificates;
}

TestCertificates::TestCertificates() {
    int status = -1;
    RunCommand("openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 2 -subj '/CN=Qim Test CA' "
               "-addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign "
               "-keyout " + Quote(dir_.File("ca.key")) + " -out " + Quote(CaFile()) + " 2>&1",
               &status);
    ok_ = status == 0 && Issue("server", "localhost", "DNS:localhost,IP:127.0.0.1") &&
          Issue("wrong", "wrong.example", "DNS:wrong.example");
}

bool TestCertificates::Issue(const std::string& name, const std::string& commonName, const std::string& altNames) {
    const std::string ext = dir_.File(name + ".ext");
    WriteFileBytes(ext, "subjectAltName=" + altNames +
                            "\nbasicConstraints=CA:FALSE\nkeyUsage=digitalSignature,keyEncipherment\n"
                            "extendedKeyUsage=serverAuth\n");
    int status = -1;
    RunCommand("openssl req -newkey rsa:2048 -nodes -sha256 -subj '/CN=" + commonName + "' -keyout " +
                   Quote(dir_.File(name + ".key")) + " -out " + Quote(dir_.File(name + ".csr")) + " 2>&1 && " +
                   "openssl x509 -req -sha256 -days 2 -in " + Quote(dir_.File(name + ".csr")) + " -CA " +
                   Quote(CaFile()) + " -CAkey " + Quote(dir_.File("ca.key")) + " -CAcreateserial -extfile " +
                   Quote(ext) + " -out " + Quote(dir_.File(name + ".pem")) + " 2>&1",
               &status);
    return status == 0;
}

}  // namespace qimtest
