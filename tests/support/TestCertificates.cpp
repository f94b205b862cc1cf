#include "TestCertificates.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <arpa/inet.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <stdexcept>

namespace tembrook::test {

namespace {

struct TKeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct TCertFree {
    void operator()(X509* cert) const { X509_free(cert); }
};
using TKey = std::unique_ptr<EVP_PKEY, TKeyFree>;
using TCert = std::unique_ptr<X509, TCertFree>;

void Check(bool ok, const char* what)
{
    if (!ok)
        throw std::runtime_error(std::string("TestCertificateAuthority: ") + what);
}

TKey NewKey()
{
    TKey key(EVP_EC_gen("P-256"));
    Check(key != nullptr, "cannot make a key");
    return key;
}

void AddExtension(X509* cert, X509* issuer, int nid, const std::string& value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &context, nid, value.c_str());
    Check(extension != nullptr, "cannot make an extension");
    const bool added = X509_add_ext(cert, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    Check(added, "cannot add an extension");
}

// A certificate for `subject`'s key, valid from notBefore to notAfter seconds
// from now; the extensions and the signature are the caller's.
TCert NewCertificate(EVP_PKEY* subject, const std::string& commonName, long notBefore, long notAfter)
{
    static std::atomic<long> serial{1};
    TCert cert(X509_new());
    Check(cert != nullptr, "cannot make a certificate");
    bool ok = X509_set_version(cert.get(), 2) == 1;
    ok = ok && ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial++) == 1;
    ok = ok && X509_gmtime_adj(X509_getm_notBefore(cert.get()), notBefore) != nullptr;
    ok = ok && X509_gmtime_adj(X509_getm_notAfter(cert.get()), notAfter) != nullptr;
    ok = ok && X509_set_pubkey(cert.get(), subject) == 1;
    X509_NAME* name = X509_get_subject_name(cert.get());
    ok = ok &&
        X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8,
                                   reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1,
                                   0) == 1;
    Check(ok, "cannot fill in a certificate");
    return cert;
}

void WritePem(const std::string& path, const std::function<bool(FILE*)>& write)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    Check(file != nullptr, "cannot create a file");
    const bool written = write(file);
    Check(std::fclose(file) == 0 && written, "cannot write a file");
}

}  // namespace

struct TestCertificateAuthority::TImpl {
    TKey Key;
    TCert Cert;
};

TestCertificateAuthority::TestCertificateAuthority(std::string folder, const std::string& name)
    : FImpl(std::make_unique<TImpl>()), FFolder(std::move(folder)), FCaFile(FFolder + "/" + name + ".pem")
{
    FImpl->Key = NewKey();
    FImpl->Cert = NewCertificate(FImpl->Key.get(), "Test authority " + name, -kDay, 30 * kDay);
    X509* cert = FImpl->Cert.get();
    Check(X509_set_issuer_name(cert, X509_get_subject_name(cert)) == 1, "cannot name the issuer");
    AddExtension(cert, cert, NID_basic_constraints, "critical,CA:TRUE");
    AddExtension(cert, cert, NID_key_usage, "critical,keyCertSign,cRLSign");
    AddExtension(cert, cert, NID_subject_key_identifier, "hash");
    Check(X509_sign(cert, FImpl->Key.get(), EVP_sha256()) > 0, "cannot sign");
    WritePem(FCaFile, [cert](FILE* file) { return PEM_write_X509(file, cert) == 1; });
}

TestCertificateAuthority::~TestCertificateAuthority() = default;

TTlsIdentity TestCertificateAuthority::Issue(const std::string& name, const std::string& host, long notBefore,
                                             long notAfter) const
{
    TKey key = NewKey();
    TCert cert = NewCertificate(key.get(), host, notBefore, notAfter);
    X509* ca = FImpl->Cert.get();
    Check(X509_set_issuer_name(cert.get(), X509_get_subject_name(ca)) == 1, "cannot name the issuer");
    in_addr address{};
    const bool isAddress = ::inet_pton(AF_INET, host.c_str(), &address) == 1;
    AddExtension(cert.get(), ca, NID_subject_alt_name, (isAddress ? "IP:" : "DNS:") + host);
    AddExtension(cert.get(), ca, NID_basic_constraints, "critical,CA:FALSE");
    AddExtension(cert.get(), ca, NID_ext_key_usage, "serverAuth");
    AddExtension(cert.get(), ca, NID_authority_key_identifier, "keyid");
    Check(X509_sign(cert.get(), FImpl->Key.get(), EVP_sha256()) > 0, "cannot sign");

    TTlsIdentity identity{FFolder + "/" + name + ".pem", FFolder + "/" + name + ".key"};
    X509* written = cert.get();
    WritePem(identity.CertFile, [written](FILE* file) { return PEM_write_X509(file, written) == 1; });
    EVP_PKEY* privateKey = key.get();
    WritePem(identity.KeyFile, [privateKey](FILE* file) {
        return PEM_write_PrivateKey(file, privateKey, nullptr, nullptr, 0, nullptr, nullptr) == 1;
    });
    return identity;
}

}  // namespace tembrook::test
