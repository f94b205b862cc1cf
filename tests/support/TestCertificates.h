#pragma once
// A certificate authority made by a test, for HTTPS servers on loopback.
// Nothing is committed: keys and certificates are made afresh in a folder the
// test owns, so none can go stale.
//
//   QTemporaryDir dir;
//   TestCertificateAuthority ca(dir.path().toStdString());
//   TestHttpServer server(ca.Issue("site", "127.0.0.1"));
//   limits.CaFile = ca.CaFile();                      // trust this authority
//   ca.Issue("old", "127.0.0.1", -2 * kDay, -kDay);   // expired yesterday
//   ca.Issue("other", "other.example");               // for another host name

#include <memory>
#include <string>

#include "TestHttpServer.h"

namespace tembrook::test {

inline constexpr long kDay = 24 * 60 * 60;

class TestCertificateAuthority {
public:
    // Makes the authority's key and self-signed certificate, written to
    // <folder>/<name>.pem. Throws std::runtime_error when OpenSSL fails.
    explicit TestCertificateAuthority(std::string folder, const std::string& name = "ca");
    ~TestCertificateAuthority();
    TestCertificateAuthority(const TestCertificateAuthority&) = delete;
    TestCertificateAuthority& operator=(const TestCertificateAuthority&) = delete;

    // The authority's certificate: the file a client trusts.
    const std::string& CaFile() const noexcept { return FCaFile; }

    // A server certificate for `host` (an IPv4 address or a DNS name), valid
    // from `notBefore` to `notAfter` seconds from now, signed by this
    // authority; written to <folder>/<name>.pem and <name>.key.
    TTlsIdentity Issue(const std::string& name, const std::string& host, long notBefore = -kDay,
                       long notAfter = kDay) const;

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
    std::string FFolder;
    std::string FCaFile;
};

}  // namespace tembrook::test
