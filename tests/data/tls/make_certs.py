#!/usr/bin/env python3
# Makes the certificates of the secure-connection tests (run once; the files are kept in the
# repository): a test authority, and leaf certificates for 127.0.0.1 that it signed (valid, for
# another host, expired) or that signed themselves. All leaves share one key.
import datetime
from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.x509.oid import NameOID
import ipaddress

def name(text):
    return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, text)])

def when(year):
    return datetime.datetime(year, 1, 1, tzinfo=datetime.timezone.utc)

ca_key = ec.generate_private_key(ec.SECP256R1())
leaf_key = ec.generate_private_key(ec.SECP256R1())

def build(subject, key, issuer, issuer_key, start, end, ca=False, dns=None, ip=None):
    b = (x509.CertificateBuilder().subject_name(name(subject)).issuer_name(name(issuer))
         .public_key(key.public_key()).serial_number(x509.random_serial_number())
         .not_valid_before(when(start)).not_valid_after(when(end))
         .add_extension(x509.BasicConstraints(ca=ca, path_length=None), critical=True)
         .add_extension(x509.SubjectKeyIdentifier.from_public_key(key.public_key()), critical=False))
    if ca:
        b = b.add_extension(x509.KeyUsage(False, False, False, False, False, True, True, False, False),
                            critical=True)
    else:
        b = b.add_extension(x509.ExtendedKeyUsage([x509.oid.ExtendedKeyUsageOID.SERVER_AUTH]),
                            critical=False)
        names = [x509.DNSName(d) for d in (dns or [])] + [x509.IPAddress(ipaddress.ip_address(a)) for a in (ip or [])]
        b = b.add_extension(x509.SubjectAlternativeName(names), critical=False)
        b = b.add_extension(x509.AuthorityKeyIdentifier.from_issuer_public_key(issuer_key.public_key()),
                            critical=False)
    return b.sign(issuer_key, hashes.SHA256())

def save(path, cert):
    with open(path, "wb") as f:
        f.write(cert.public_bytes(serialization.Encoding.PEM))

save("ca.pem", build("Tallyscope Test Authority", ca_key, "Tallyscope Test Authority", ca_key, 2024, 2124, ca=True))
save("server.pem", build("127.0.0.1", leaf_key, "Tallyscope Test Authority", ca_key, 2024, 2124, dns=["localhost"], ip=["127.0.0.1"]))
save("other_host.pem", build("other.example", leaf_key, "Tallyscope Test Authority", ca_key, 2024, 2124, dns=["other.example"]))
save("expired.pem", build("127.0.0.1", leaf_key, "Tallyscope Test Authority", ca_key, 2000, 2001, dns=["localhost"], ip=["127.0.0.1"]))
save("self_signed.pem", build("127.0.0.1", leaf_key, "127.0.0.1", leaf_key, 2024, 2124, dns=["localhost"], ip=["127.0.0.1"]))
with open("server.key", "wb") as f:
    f.write(leaf_key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                                   serialization.NoEncryption()))
