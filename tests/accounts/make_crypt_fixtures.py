#!/usr/bin/env python3
"""Reference RC2 (RFC 2268) in plain Python and the fixture generator for the
credential cipher's tests.

The C++ tests must decrypt ciphertexts that were not made by the code under
test, under each of the three ways CryptoAPI providers key RC2 from an MD5
hash. This script makes them with its own RC2, after checking that RC2
against the RFC 2268 known-answer vectors, and writes CryptFixtures.h beside
itself. Where the openssl command line is available it also confirms the
128-bit keying against it. The test suite does not run this script; rerun it
only to change the fixtures:

    python3 tests/accounts/make_crypt_fixtures.py
"""

import base64
import hashlib
import os
import shutil
import subprocess
import sys

PITABLE = bytes.fromhex("""
    d9 78 f9 c4 19 dd b5 ed 28 e9 fd 79 4a a0 d8 9d
    c6 7e 37 83 2b 76 53 8e 62 4c 64 88 44 8b fb a2
    17 9a 59 f5 87 b3 4f 13 61 45 6d 8d 09 81 7d 32
    bd 8f 40 eb 86 b7 7b 0b f0 95 21 22 5c 6b 4e 82
    54 d6 65 93 ce 60 b2 1c 73 56 c0 14 a7 8c f1 dc
    12 75 ca 1f 3b be e4 d1 42 3d d4 30 a3 3c b6 26
    6f bf 0e da 46 69 07 57 27 f2 1d 9b bc 94 43 03
    f8 11 c7 f6 90 ef 3e e7 06 c3 d5 2f c8 66 1e d7
    08 e8 ea de 80 52 ee f7 84 aa 72 ac 35 4d 6a 2a
    96 1a d2 71 5a 15 49 74 4b 9f d0 5e 04 18 a4 ec
    c2 e0 41 6e 0f 51 cb cc 24 91 af 50 a1 f4 70 39
    99 7c 3a 85 23 b8 b4 7a fc 02 36 5b 25 55 97 31
    2d 5d fa 98 e3 8a 92 ae 05 df 29 10 67 6c ba c9
    d3 00 e6 cf e1 9e a8 2c 63 16 01 3f 58 e2 89 a9
    0d 38 34 1b ab 33 ff b0 bb 48 0c 5f b9 b1 cd 2e
    c5 f3 db 47 e5 a5 9c 77 0a a6 20 68 fe 7f c1 ad
""")
assert len(PITABLE) == 256 and len(set(PITABLE)) == 256

# RFC 2268 section 5: (key, effective bits, plaintext, ciphertext).
RFC2268_VECTORS = [
    ("0000000000000000", 63, "0000000000000000", "ebb773f993278eff"),
    ("ffffffffffffffff", 64, "ffffffffffffffff", "278b27e42e2f0d49"),
    ("3000000000000000", 64, "1000000000000001", "30649edf9be7d2c2"),
    ("88", 64, "0000000000000000", "61a8a244adacccf0"),
    ("88bca90e90875a", 64, "0000000000000000", "6ccf4308974c267f"),
    ("88bca90e90875a7f0f79c384627bafb2", 64, "0000000000000000", "1a807d272bbe5db1"),
    ("88bca90e90875a7f0f79c384627bafb2", 128, "0000000000000000", "2269552ab0f85ca6"),
    ("88bca90e90875a7f0f79c384627bafb216f80a6f85920584c42fceb0be255daf1e",
     129, "0000000000000000", "5b78d3a43dfff1f1"),
]

MASK = 0xFFFF
SHIFTS = (1, 2, 3, 5)


def expand_key(key, bits):
    t = len(key)
    assert 1 <= t <= 128 and 1 <= bits <= 1024
    table = list(key) + [0] * (128 - t)
    for i in range(t, 128):
        table[i] = PITABLE[(table[i - 1] + table[i - t]) & 0xFF]
    t8 = (bits + 7) // 8
    tm = 0xFF >> (8 * t8 - bits)
    table[128 - t8] = PITABLE[table[128 - t8] & tm]
    for i in range(127 - t8, -1, -1):
        table[i] = PITABLE[table[i + 1] ^ table[i + t8]]
    return [table[2 * i] | (table[2 * i + 1] << 8) for i in range(64)]


def rol(x, s):
    return ((x << s) | (x >> (16 - s))) & MASK


def ror(x, s):
    return ((x >> s) | (x << (16 - s))) & MASK


def encrypt_block(k, block):
    r = [block[2 * i] | (block[2 * i + 1] << 8) for i in range(4)]
    j = 0

    def mix():
        nonlocal j
        for i in range(4):
            r[i] = (r[i] + k[j] + (r[i - 1] & r[i - 2]) + (~r[i - 1] & r[i - 3])) & MASK
            j += 1
            r[i] = rol(r[i], SHIFTS[i])

    def mash():
        for i in range(4):
            r[i] = (r[i] + k[r[i - 1] & 63]) & MASK

    for stage, rounds in enumerate((5, 6, 5)):
        for _ in range(rounds):
            mix()
        if stage < 2:
            mash()
    return bytes(b for w in r for b in (w & 0xFF, w >> 8))


def decrypt_block(k, block):
    r = [block[2 * i] | (block[2 * i + 1] << 8) for i in range(4)]
    j = 63

    def rmix():
        nonlocal j
        for i in (3, 2, 1, 0):
            r[i] = ror(r[i], SHIFTS[i])
            r[i] = (r[i] - k[j] - (r[i - 1] & r[i - 2]) - (~r[i - 1] & r[i - 3])) & MASK
            j -= 1

    def rmash():
        for i in (3, 2, 1, 0):
            r[i] = (r[i] - k[r[i - 1] & 63]) & MASK

    for stage, rounds in enumerate((5, 6, 5)):
        for _ in range(rounds):
            rmix()
        if stage < 2:
            rmash()
    return bytes(b for w in r for b in (w & 0xFF, w >> 8))


def cbc_encrypt(k, data):
    pad = 8 - len(data) % 8
    data = data + bytes([pad]) * pad
    out, chain = bytearray(), bytes(8)
    for i in range(0, len(data), 8):
        chain = encrypt_block(k, bytes(a ^ b for a, b in zip(data[i:i + 8], chain)))
        out += chain
    return bytes(out)


def cbc_decrypt_raw(k, data):
    out, chain = bytearray(), bytes(8)
    for i in range(0, len(data), 8):
        block = data[i:i + 8]
        out += bytes(a ^ b for a, b in zip(decrypt_block(k, block), chain))
        chain = block
    return bytes(out)


def unpad(plain):
    """The plaintext without its padding, or None when the padding is bad."""
    if not plain:
        return None
    pad = plain[-1]
    if not 1 <= pad <= 8 or plain[-pad:] != bytes([pad]) * pad:
        return None
    return plain[:-pad]


PASSPHRASE = b"pirikapirikatamagoyakinoko"
HASH = hashlib.md5(PASSPHRASE).digest()

# The three CryptoAPI keyings, in the order Decrypt tries them.
MODELS = {
    "Full128": expand_key(HASH, 128),
    "Full40": expand_key(HASH, 40),
    "Salted40": expand_key(HASH[:5] + bytes(11), 40),
}
ORDER = ["Full128", "Full40", "Salted40"]


def accepted_by(ciphertext):
    """The models under which the ciphertext's final block has valid padding."""
    return [m for m in ORDER if unpad(cbc_decrypt_raw(MODELS[m], ciphertext)) is not None]


def pattern(length, mul, add):
    return bytes((i * mul + add) & 0xFF for i in range(length))


def check_rfc_vectors():
    for key, bits, plain, cipher in RFC2268_VECTORS:
        k = expand_key(bytes.fromhex(key), bits)
        got = encrypt_block(k, bytes.fromhex(plain)).hex()
        assert got == cipher, f"RFC 2268 vector {key}/{bits}: {got} != {cipher}"
        assert decrypt_block(k, bytes.fromhex(cipher)).hex() == plain


def check_against_openssl_cli(plain, cipher):
    tool = shutil.which("openssl")
    if tool is None:
        print("openssl not found: 128-bit fixtures not cross-checked", file=sys.stderr)
        return
    got = subprocess.run(
        [tool, "enc", "-rc2-cbc", "-provider", "legacy", "-provider", "default",
         "-K", HASH.hex(), "-iv", "0000000000000000"],
        input=plain, capture_output=True, check=True).stdout
    assert got == cipher, "openssl enc disagrees with the reference RC2"


def find_plaintext(prefix, model, accepted):
    """The first prefix+N whose ciphertext under model is accepted by exactly
    the models in accepted."""
    for n in range(100000):
        plain = prefix + str(n).encode()
        if accepted_by(cbc_encrypt(MODELS[model], plain)) == accepted:
            return plain
    raise RuntimeError(f"no plaintext for {model} accepted by {accepted}")


def cxx_bytes(data, indent="    "):
    lines = []
    for i in range(0, len(data), 16):
        lines.append(indent + "".join(f"\\x{b:02x}" for b in data[i:i + 16]))
    if not lines:
        return indent + '""'
    return "\n".join(f'{indent}"{line.strip()}"' for line in lines)


def main():
    check_rfc_vectors()
    fixtures = []  # (name, model, plaintext description, plaintext bytes, ciphertext)

    def add(name, model, plain, expect_accepted_first=True):
        cipher = cbc_encrypt(MODELS[model], plain)
        accepted = accepted_by(cipher)
        if expect_accepted_first:
            assert accepted and accepted[0] == model, (name, accepted)
        if model == "Full128":
            check_against_openssl_cli(plain, cipher)
        fixtures.append((name, model, plain, cipher, accepted))

    # One short text per keying, accepted only by its own keying.
    add("Full128Short", "Full128", find_plaintext(b"XP SP1 and later #", "Full128", ["Full128"]))
    add("Full40Short", "Full40", find_plaintext(b"Windows 2000 #", "Full40", ["Full40"]))
    add("Salted40Short", "Salted40", find_plaintext(b"base provider #", "Salted40", ["Salted40"]))
    # A text whose length is a whole number of blocks (a full block of padding).
    add("Salted40Blocks", "Salted40", b"16 bytes exactly")
    # Several pieces: the chaining must carry over the 1024-byte piece border
    # (Full40Long ends in a final piece that is one block of padding).
    add("Salted40Long", "Salted40", pattern(1100, 37, 11))
    add("Full40Long", "Full40", pattern(1024, 91, 5))
    # Ciphertexts that an older keying would also accept: the order decides.
    add("Full128AlsoFull40", "Full128", find_plaintext(b"order-", "Full128", ["Full128", "Full40"]))
    add("Full40AlsoSalted40", "Full40", find_plaintext(b"order-", "Full40", ["Full40", "Salted40"]))

    # A corrupted ciphertext: one bit of the second-last block flipped, so
    # that the last plaintext block of the right keying changes; checked to
    # be rejected by all three keyings.
    corrupt_source = next(f for f in fixtures if f[0] == "Full128Short")[3]
    corrupted = bytearray(corrupt_source)
    corrupted[-9] ^= 0x10
    assert accepted_by(bytes(corrupted)) == [], "pick another bit to flip"

    stored_plain = b"hunter2"
    stored = {m: base64.b64encode(cbc_encrypt(MODELS[m], stored_plain)).decode() for m in ORDER}
    for m in ORDER:
        assert accepted_by(base64.b64decode(stored[m]))[0] == m

    out = []
    out.append("// Generated by make_crypt_fixtures.py from its own RC2 (RFC 2268);")
    out.append("// do not edit. Passphrase: pirikapirikatamagoyakinoko.")
    out.append("#pragma once")
    out.append("")
    out.append("#include <string_view>")
    out.append("")
    out.append("namespace crypt_fixtures {")
    out.append("")
    out.append("using namespace std::string_view_literals;")
    out.append("")
    out.append(f'// MD5 of the passphrase: {HASH.hex()}')
    out.append("")
    out.append("struct Fixture {")
    out.append("    const char* name;")
    out.append("    const char* keying;  // the keying that made it")
    out.append("    std::string_view plaintext;")
    out.append("    std::string_view ciphertext;")
    out.append("};")
    out.append("")
    out.append("inline const Fixture Fixtures[] = {")
    for name, model, plain, cipher, accepted in fixtures:
        out.append(f'    {{"{name}", "{model}",  // also valid padding under: {", ".join(accepted)}')
        out.append(f"{cxx_bytes(plain, '     ')}sv,")
        out.append(f"{cxx_bytes(cipher, '     ')}sv}},")
    out.append("};")
    out.append("")
    out.append("// Full128Short with bit 4 of its second-last block's last byte flipped;")
    out.append("// no keying accepts it.")
    out.append("inline constexpr std::string_view Corrupted =")
    out.append(f"{cxx_bytes(bytes(corrupted), '    ')}sv;")
    out.append("")
    out.append('// Stored password texts of "hunter2" under each keying.')
    out.append('inline constexpr std::string_view StoredPlain = "hunter2";')
    for m in ORDER:
        out.append(f'inline constexpr std::string_view Stored{m} = "{stored[m]}";')
    out.append("")
    out.append("}  // namespace crypt_fixtures")
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "CryptFixtures.h")
    with open(path, "w", encoding="ascii") as f:
        f.write("\n".join(out) + "\n")
    print(f"RFC 2268 vectors: {len(RFC2268_VECTORS)} passed; wrote {path}")


if __name__ == "__main__":
    main()
