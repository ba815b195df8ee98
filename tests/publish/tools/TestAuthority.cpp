// Trusts the local WordPress's test certificate authority in this Wine prefix
// only, and takes the trust back: the TLS tests' fixture runs it before and
// after them, so the prefix is left as it was found.
//
//   test_authority add <ca.pem>      into the current user's "Root" store
//   test_authority remove <ca.pem>   out of it again (no error when absent)
//
// Exit code 0 on success; a message on stderr otherwise.
#include <windows.h>
#include <wincrypt.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

struct CCertificateDeleter {
    void operator()(PCCERT_CONTEXT context) const { ::CertFreeCertificateContext(context); }
};
using CCertificate = std::unique_ptr<const CERT_CONTEXT, CCertificateDeleter>;

struct CStoreCloser {
    void operator()(HCERTSTORE store) const { ::CertCloseStore(store, 0); }
};
using CStore = std::unique_ptr<void, CStoreCloser>;

bool ReadDer(const char* path, std::vector<BYTE>& der)
{
    std::ifstream file(path, std::ios::binary);
    const std::string pem((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (pem.empty())
        return false;
    DWORD size = 0;
    if (!::CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, nullptr, &size,
                                nullptr, nullptr))
        return false;
    der.resize(size);
    return ::CryptStringToBinaryA(pem.c_str(), static_cast<DWORD>(pem.size()), CRYPT_STRING_BASE64HEADER, der.data(),
                                  &size, nullptr, nullptr) != FALSE;
}

int Remove(const std::vector<BYTE>& der)
{
    CCertificate wanted(
        ::CertCreateCertificateContext(X509_ASN_ENCODING, der.data(), static_cast<DWORD>(der.size())));
    CStore store(::CertOpenStore(CERT_STORE_PROV_SYSTEM_W, 0, 0, CERT_SYSTEM_STORE_CURRENT_USER, L"Root"));
    if (!wanted || !store) {
        std::fprintf(stderr, "test_authority: cannot open the Root store (%lu)\n", ::GetLastError());
        return 1;
    }
    // Every copy goes, should an earlier run have added it twice.
    for (;;) {
        PCCERT_CONTEXT found = ::CertFindCertificateInStore(store.get(), X509_ASN_ENCODING, 0, CERT_FIND_EXISTING,
                                                            wanted.get(), nullptr);
        if (!found)
            return 0;
        if (!::CertDeleteCertificateFromStore(found)) {  // frees found either way
            std::fprintf(stderr, "test_authority: cannot remove the certificate (%lu)\n", ::GetLastError());
            return 1;
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string command = argc == 3 ? argv[1] : "";
    if (command != "add" && command != "remove") {
        std::fprintf(stderr, "usage: test_authority add|remove <ca.pem>\n");
        return 2;
    }
    std::vector<BYTE> der;
    if (!ReadDer(argv[2], der)) {
        std::fprintf(stderr, "test_authority: no PEM certificate in %s\n", argv[2]);
        return 1;
    }
    if (command == "remove")
        return Remove(der);
    if (!::CertAddEncodedCertificateToSystemStoreA("Root", der.data(), static_cast<DWORD>(der.size()))) {
        std::fprintf(stderr, "test_authority: cannot add the certificate to Root (%lu)\n", ::GetLastError());
        return 1;
    }
    return 0;
}
