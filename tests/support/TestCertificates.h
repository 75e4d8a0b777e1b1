// Certificates made by the tests with openssl: a CA of their own (given to the
// client as "TLSCAFile"), a server certificate it signed for localhost and
// 127.0.0.1, and one it signed for another name (the host-name mismatch).
#pragma once

#include <string>

#include "support/TestSupport.h"

namespace qimtest {

class TestCertificates {
public:
    static TestCertificates& Shared();
    TestCertificates();
    bool Ok() const { return ok_; }
    std::string CaFile() const { return dir_.File("ca.pem"); }
    std::string ServerCert() const { return dir_.File("server.pem"); }
    std::string ServerKey() const { return dir_.File("server.key"); }
    std::string WrongNameCert() const { return dir_.File("wrong.pem"); }
    std::string WrongNameKey() const { return dir_.File("wrong.key"); }

private:
    bool Issue(const std::string& name, const std::string& commonName, const std::string& altNames);
    TempDir dir_;
    bool ok_ = false;
};

}  // namespace qimtest
