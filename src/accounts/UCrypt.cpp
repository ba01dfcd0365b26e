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

#include "accounts/CipherSession.h"
#include "accounts/LibCrypto.h"
#include "accounts/Rc2Cipher.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <istream>
#include <new>
#include <optional>
#include <ostream>

namespace {

using namespace ucrypt_internal;

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
