// THogeCrypt over OpenSSL 3 libcrypto.
//
// The steps keep the names of the CryptoAPI calls they stand for, because
// those names are what ErrorMessage reports:
//   CryptAcquireContext  a library context of our own with the legacy (RC2)
//                        and default (MD5) providers loaded into it
//   CryptCreateHash      an MD5 digest context
//   CryptHashData        the passphrase bytes hashed
//   CryptDeriveKey       the RC2 key set up from the hash
//   CryptEncrypt/Decrypt one piece of the stream, in place in the work buffer
//
// Cipher: RC2 in CBC mode, zero IV, PKCS#5 padding of 1 to 8 bytes on the
// final piece. Encrypt keys RC2 the way current Windows does (the whole MD5
// hash, 128 effective bits). Decrypt also accepts the two older derivations
// (see Rc2KeyModel) so that login.ini files written on older systems keep
// working.
//
// ErrorCode after a failure: for a failed cryptographic step, the OpenSSL
// error code (ERR_peek_last_error, 32 bits are enough for OpenSSL 3's packed
// codes) at the moment the step failed; where the failure is found by this
// code rather than by OpenSSL (bad padding, a piece that is not a whole number
// of blocks, an algorithm id other than MD5/RC2) the code OpenSSL's own EVP
// layer uses for the same fault (EVP_R_BAD_DECRYPT and so on, packed with
// ERR_PACK). For a stream failure, errno as it stands after the failed stream
// operation (cleared before it, so 0 when the stream gave no system error);
// ENOMEM when memory ran out. OpenSSL errors raised during a call are removed
// from the thread's error queue before the call returns.

#include "accounts/UCrypt.h"

#include "accounts/LibCrypto.h"
#include "accounts/Rc2Cipher.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <istream>
#include <memory>
#include <new>
#include <optional>
#include <ostream>

namespace {

using namespace ucrypt_internal;

constexpr std::uint32_t CalgRc2 = 0x6602;
constexpr std::uint32_t CalgMd5 = 0x8003;

constexpr const char* StepAcquire = "CryptAcquireContext";
constexpr const char* StepCreateHash = "CryptCreateHash";
constexpr const char* StepHashData = "CryptHashData";
constexpr const char* StepDeriveKey = "CryptDeriveKey";
constexpr const char* StepEncrypt = "CryptEncrypt";
constexpr const char* StepDecrypt = "CryptDecrypt";
constexpr const char* ReadFailed = "read failed";
constexpr const char* WriteFailed = "write failed";
constexpr const char* PositionUnavailable = "stream position unavailable";

std::uint32_t EvpCode(int reason) { return static_cast<std::uint32_t>(ERR_PACK(ERR_LIB_EVP, 0, reason)); }

// A failure inside an operation; caught at the operation's edge.
struct Failure {
    const char* message;
    std::uint32_t code;
};

// The cipher library; reached only once a session's context is acquired,
// which has loaded it.
const TLibCrypto& Lib() { return *LibCrypto(); }

// A library call failed: the library's own code for it (none when the
// library itself could not be loaded).
[[noreturn]] void FailOpenSsl(const char* step)
{
    const TLibCrypto* lib = LibCrypto();
    throw Failure{step, lib != nullptr ? static_cast<std::uint32_t>(lib->ERR_peek_last_error()) : 0};
}

[[noreturn]] void FailWith(const char* step, std::uint32_t code) { throw Failure{step, code}; }

[[noreturn]] void FailStream(const char* message) { throw Failure{message, static_cast<std::uint32_t>(errno)}; }

// What one call holds, released in the fixed order: the work buffer, the
// hash (if still held), the key, and last the library context.
class CipherSession {
public:
    explicit CipherSession(bool encrypt) : m_encrypt(encrypt) { }
    CipherSession(const CipherSession&) = delete;
    CipherSession& operator=(const CipherSession&) = delete;
    ~CipherSession() { Release(); }

    void Release() noexcept
    {
        if (m_buffer) {
            explicit_bzero(m_buffer.get(), m_capacity);
            m_buffer.reset();
            m_capacity = 0;
        }
        DestroyHash();
        if (m_key != nullptr) {
            Lib().EVP_CIPHER_CTX_free(m_key);
            m_key = nullptr;
        }
        if (m_cipher != nullptr) {
            Lib().EVP_CIPHER_free(m_cipher);
            m_cipher = nullptr;
        }
        explicit_bzero(m_digest.data(), m_digest.size());
        m_library.Close();
    }

    void AcquireContext()
    {
        if (!m_library.Open())
            FailOpenSsl(StepAcquire);
    }

    void DeriveKey(std::uint32_t hashAlgId, std::uint32_t cipherAlgId, std::string_view passphrase)
    {
        if (hashAlgId != CalgMd5)
            FailWith(StepCreateHash, EvpCode(EVP_R_UNSUPPORTED_ALGORITHM));
        m_md = Lib().EVP_MD_fetch(m_library.Context(), "MD5", nullptr);
        if (m_md == nullptr)
            FailOpenSsl(StepCreateHash);
        m_hash = Lib().EVP_MD_CTX_new();
        if (m_hash == nullptr || Lib().EVP_DigestInit_ex2(m_hash, m_md, nullptr) != 1)
            FailOpenSsl(StepCreateHash);
        if (Lib().EVP_DigestUpdate(m_hash, passphrase.data(), passphrase.size()) != 1)
            FailOpenSsl(StepHashData);

        if (cipherAlgId != CalgRc2)
            FailWith(StepDeriveKey, EvpCode(EVP_R_UNSUPPORTED_CIPHER));
        unsigned int digestLength = 0;
        if (Lib().EVP_DigestFinal_ex(m_hash, m_digest.data(), &digestLength) != 1 || digestLength != m_digest.size())
            FailOpenSsl(StepDeriveKey);
        m_cipher = Lib().EVP_CIPHER_fetch(m_library.Context(), "RC2-CBC", nullptr);
        if (m_cipher == nullptr)
            FailOpenSsl(StepDeriveKey);
        m_key = Lib().EVP_CIPHER_CTX_new();
        if (m_key == nullptr)
            FailOpenSsl(StepDeriveKey);
        // The key Encrypt uses; Decrypt sets up the one it settles on later.
        KeyFor(Rc2KeyModel::Full128, nullptr);
        DestroyHash();
    }

    // Sets the key up under the given model, with the given IV (zero when
    // null). Failure is a key derivation failure.
    void KeyFor(Rc2KeyModel model, const unsigned char* iv)
    {
        static constexpr unsigned char ZeroIv[Rc2BlockSize] = {};
        Rc2Key key = DeriveRc2Key(m_digest, model);
        const bool ok = SetupRc2(m_key, m_cipher, key.bytes, key.effectiveBits, iv != nullptr ? iv : ZeroIv, m_encrypt);
        explicit_bzero(key.bytes.data(), key.bytes.size());
        if (!ok)
            FailOpenSsl(StepDeriveKey);
    }

    void AllocateBuffer(std::uint32_t chunkSize, std::uint32_t padSize)
    {
        m_capacity = std::size_t{chunkSize} + padSize;
        m_buffer = std::make_unique_for_overwrite<unsigned char[]>(m_capacity);
    }

    unsigned char* Buffer() const { return m_buffer.get(); }
    std::size_t Capacity() const { return m_capacity; }

    // Runs the key over length bytes in place; length is a whole number of
    // blocks.
    bool Crypt(unsigned char* data, std::size_t length)
    {
        constexpr std::size_t Step = std::size_t{1} << 20;
        while (length > 0) {
            const std::size_t part = std::min(length, Step);
            int written = 0;
            if (Lib().EVP_CipherUpdate(m_key, data, &written, data, static_cast<int>(part)) != 1 ||
                written != static_cast<int>(part))
                return false;
            data += part;
            length -= part;
        }
        return true;
    }

private:
    void DestroyHash() noexcept
    {
        if (m_hash != nullptr) {
            Lib().EVP_MD_CTX_free(m_hash);
            m_hash = nullptr;
        }
        if (m_md != nullptr) {
            Lib().EVP_MD_free(m_md);
            m_md = nullptr;
        }
    }

    const bool m_encrypt;
    CryptoLibrary m_library;
    EVP_MD* m_md = nullptr;
    EVP_MD_CTX* m_hash = nullptr;
    EVP_CIPHER* m_cipher = nullptr;
    EVP_CIPHER_CTX* m_key = nullptr;
    Md5Digest m_digest{};
    std::unique_ptr<unsigned char[]> m_buffer;
    std::size_t m_capacity = 0;
};

// Runs one stream operation with errno cleared before it. A stream that
// throws (exceptions() set) is treated like one that sets badbit: the
// operation fails with message.
template <typename Operation>
auto StreamStep(const char* message, Operation&& operation)
{
    errno = 0;
    try {
        return operation();
    } catch (const std::ios_base::failure&) {
        FailStream(message);
    }
}

std::streamoff Position(std::istream& source)
{
    return StreamStep(PositionUnavailable, [&] {
        const std::streamoff position = source.tellg();
        if (position < 0)
            FailStream(PositionUnavailable);
        return position;
    });
}

std::streamoff Size(std::istream& source, std::streamoff position)
{
    return StreamStep(PositionUnavailable, [&] {
        source.seekg(0, std::ios_base::end);
        const std::streamoff size = source.tellg();
        source.seekg(position);
        if (size < 0 || source.fail())
            FailStream(PositionUnavailable);
        return size;
    });
}

void SeekTo(std::istream& source, std::streamoff position)
{
    StreamStep(PositionUnavailable, [&] {
        source.seekg(position);
        if (source.fail())
            FailStream(PositionUnavailable);
    });
}

// Reads up to count bytes; fewer only at the end of the stream.
std::size_t ReadPiece(std::istream& source, unsigned char* buffer, std::size_t count)
{
    return StreamStep(ReadFailed, [&] {
        try {
            source.read(reinterpret_cast<char*>(buffer), static_cast<std::streamsize>(count));
        } catch (const std::ios_base::failure&) {
            // A stream with failbit or eofbit in exceptions() throws on the
            // short read at its end; only badbit is a failure.
            if (source.bad())
                throw;
        }
        if (source.bad())
            FailStream(ReadFailed);
        const std::streamsize n = source.gcount();
        source.clear();  // eofbit and failbit of a short read
        return static_cast<std::size_t>(n);
    });
}

// The piece just read is final when the stream's size is less than or equal
// to its position, that is, when the input is used up. Both are compared as
// 64-bit offsets, so a stream past 2 GiB does not end early.
bool IsFinalPiece(std::istream& source)
{
    const std::streamoff position = Position(source);
    return Size(source, position) <= position;
}

void WritePiece(std::ostream& dest, const unsigned char* data, std::size_t length)
{
    StreamStep(WriteFailed, [&] {
        dest.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(length));
        if (!dest)
            FailStream(WriteFailed);
    });
}

// A source left at its end by an earlier read still has its position.
void PrepareSource(std::istream& source)
{
    StreamStep(ReadFailed, [&] {
        if (!source.bad())
            source.clear();
    });
}

// The last two blocks of the ciphertext from start to size: the final block
// and the one before it (the CBC chaining value, or the zero IV when the
// final block is the first). Nothing when the length is not a whole, non-zero
// number of blocks. The source's position is left unspecified.
using Tail = std::array<unsigned char, 2 * Rc2BlockSize>;
std::optional<Tail> ReadTail(std::istream& source, std::streamoff start, std::streamoff size)
{
    const std::streamoff length = size - start;
    if (length < static_cast<std::streamoff>(Rc2BlockSize) || length % static_cast<std::streamoff>(Rc2BlockSize) != 0)
        return std::nullopt;
    Tail tail{};
    const bool hasChain = length >= static_cast<std::streamoff>(2 * Rc2BlockSize);
    const std::size_t tailLength = hasChain ? 2 * Rc2BlockSize : Rc2BlockSize;
    SeekTo(source, size - static_cast<std::streamoff>(tailLength));
    unsigned char* tailStart = hasChain ? tail.data() : tail.data() + Rc2BlockSize;
    if (ReadPiece(source, tailStart, tailLength) != tailLength)
        FailStream(ReadFailed);
    return tail;
}

// Whether the final block carries valid padding under model. Only the last
// two blocks decide that, so each model is tried on those 16 bytes rather
// than on the whole stream.
bool PadsUnder(CipherSession& session, const Tail& tail, Rc2KeyModel model)
{
    unsigned char block[Rc2BlockSize];
    std::memcpy(block, tail.data() + Rc2BlockSize, Rc2BlockSize);
    session.KeyFor(model, tail.data());
    if (!session.Crypt(block, Rc2BlockSize))
        FailOpenSsl(StepDecrypt);
    std::size_t pad = 0;
    const bool valid = CheckPadding(block, pad);
    explicit_bzero(block, sizeof block);
    return valid;
}

// Decrypts source from its current position to its end under the key the
// session holds, handing each piece of plaintext to sink (padding removed
// from the final one). False when the final piece's padding does not verify;
// that piece then reaches no sink. Otherwise the padding's length.
template <typename Sink>
std::optional<std::size_t> DecryptPieces(CipherSession& session, std::istream& source, std::uint32_t chunkSize,
                                         Sink&& sink)
{
    unsigned char* buffer = session.Buffer();
    for (;;) {
        std::size_t n = ReadPiece(source, buffer, chunkSize);
        const bool final = IsFinalPiece(source);
        if (!final && n == 0)
            FailStream(ReadFailed);
        if (n % Rc2BlockSize != 0)
            FailWith(StepDecrypt,
                     EvpCode(final ? EVP_R_WRONG_FINAL_BLOCK_LENGTH : EVP_R_DATA_NOT_MULTIPLE_OF_BLOCK_LENGTH));
        if (final && n == 0)
            FailWith(StepDecrypt, EvpCode(EVP_R_WRONG_FINAL_BLOCK_LENGTH));
        if (!session.Crypt(buffer, n))
            FailOpenSsl(StepDecrypt);
        if (final) {
            std::size_t pad = 0;
            if (!CheckPadding(std::span<const unsigned char, Rc2BlockSize>(buffer + n - Rc2BlockSize, Rc2BlockSize),
                              pad))
                return std::nullopt;
            n -= pad;
            sink(buffer, n);
            return pad;
        }
        sink(buffer, n);
    }
}

// Clears a string's whole buffer, then empties it.
void Wipe(std::string& text) noexcept
{
    text.resize(text.capacity());
    explicit_bzero(text.data(), text.size());
    text.clear();
}

// Records a failure; never throws (an unstorable message leaves it empty).
void Record(std::uint32_t& errorCode, std::string& errorMessage, std::uint32_t code, const char* message) noexcept
{
    errorCode = code;
    try {
        errorMessage = message;
    } catch (...) {
        errorMessage.clear();
    }
}

// Runs one operation: error fields cleared, any failure trapped and recorded,
// then the session released whatever the outcome. OpenSSL errors raised
// meanwhile are dropped from the thread's queue.
template <typename Body>
bool RunTrapped(std::uint32_t& errorCode, std::string& errorMessage, bool encrypt, Body&& body) noexcept
{
    errorCode = 0;
    errorMessage.clear();
    const TLibCrypto* lib = LibCrypto();
    if (lib != nullptr)
        lib->ERR_set_mark();
    bool ok = false;
    {
        CipherSession session(encrypt);
        try {
            body(session);
            ok = true;
        } catch (const Failure& failure) {
            Record(errorCode, errorMessage, failure.code, failure.message);
        } catch (const std::bad_alloc&) {
            Record(errorCode, errorMessage, ENOMEM, "out of memory");
        } catch (const std::exception& e) {
            Record(errorCode, errorMessage, static_cast<std::uint32_t>(errno), e.what());
        } catch (...) {
            Record(errorCode, errorMessage, static_cast<std::uint32_t>(errno), "unexpected failure");
        }
        session.Release();
    }
    if (lib != nullptr)
        lib->ERR_pop_to_mark();
    return ok;
}

}  // namespace

bool THogeCrypt::Encrypt(std::istream& Source, std::string_view Passphrase, std::ostream& Dest)
{
    return RunTrapped(ErrorCode, ErrorMessage, true, [&](CipherSession& session) {
        session.AcquireContext();
        session.DeriveKey(HashAlgId, CipherAlgId, Passphrase);
        session.AllocateBuffer(ChunkSize, PadSize);
        unsigned char* buffer = session.Buffer();
        PrepareSource(Source);
        for (;;) {
            std::size_t n = ReadPiece(Source, buffer, ChunkSize);
            const bool final = IsFinalPiece(Source);
            if (!final && n == 0)
                FailStream(ReadFailed);  // no progress: the stream ends before its size
            if (final) {
                const std::size_t pad = Rc2BlockSize - n % Rc2BlockSize;
                if (n + pad > session.Capacity())
                    FailWith(StepEncrypt, EvpCode(EVP_R_OUTPUT_WOULD_OVERFLOW));
                std::memset(buffer + n, static_cast<int>(pad), pad);
                n += pad;
            } else if (n % Rc2BlockSize != 0) {
                FailWith(StepEncrypt, EvpCode(EVP_R_DATA_NOT_MULTIPLE_OF_BLOCK_LENGTH));
            }
            if (!session.Crypt(buffer, n))
                FailOpenSsl(StepEncrypt);
            WritePiece(Dest, buffer, n);
            if (final)
                break;
        }
    });
}

bool THogeCrypt::Decrypt(std::istream& Source, std::string_view Passphrase, std::ostream& Dest)
{
    return RunTrapped(ErrorCode, ErrorMessage, false, [&](CipherSession& session) {
        session.AcquireContext();
        session.DeriveKey(HashAlgId, CipherAlgId, Passphrase);
        session.AllocateBuffer(ChunkSize, PadSize);
        PrepareSource(Source);

        const std::streamoff start = Position(Source);
        const std::streamoff size = Size(Source, start);
        const std::optional<Tail> tail = ReadTail(Source, start, size);

        // The best-ranked plaintext among the models whose padding verifies;
        // the stream is decrypted once per such model. A ciphertext that is
        // not a whole, non-zero number of blocks has no final block to test:
        // decrypting it under the first model finds and reports the fault.
        std::string plain, best;
        struct WipeOnExit {
            std::string& a;
            std::string& b;
            ~WipeOnExit()
            {
                Wipe(a);
                Wipe(b);
            }
        } wipe{plain, best};
        std::pair<int, std::size_t> bestRank{0, 0};
        for (const Rc2KeyModel model : DecryptKeyModels) {
            if (tail && !PadsUnder(session, *tail, model))
                continue;
            SeekTo(Source, start);
            session.KeyFor(model, nullptr);
            Wipe(plain);
            const std::optional<std::size_t> pad =
                DecryptPieces(session, Source, ChunkSize, [&](const unsigned char* data, std::size_t n) {
                    plain.append(reinterpret_cast<const char*>(data), n);
                });
            if (!pad)
                continue;
            const std::pair<int, std::size_t> rank{PlaintextRank ? PlaintextRank(plain) : 1, *pad};
            if (rank.first > 0 && rank > bestRank) {
                bestRank = rank;
                best.swap(plain);
            }
        }
        if (bestRank.first == 0)
            FailWith(StepDecrypt, EvpCode(EVP_R_BAD_DECRYPT));
        WritePiece(Dest, reinterpret_cast<const unsigned char*>(best.data()), best.size());
    });
}
