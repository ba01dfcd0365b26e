// Which password Decrypt gives back for stored texts written under each key
// model: random printable passwords of 1 to 16 bytes, encrypted the way each
// model's system wrote them, then read as the program reads login.ini.
// Prints, per model, how many came back right, wrong (other bytes with a
// true result) and not at all.
// Usage: bench_decrypt [passwords per model = 100000] [seed = 20261209]
#include "ModelEncrypter.h"
#include "accounts/StoredPassword.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    using ucrypt_internal::Rc2KeyModel;
    const long count = argc > 1 ? std::atol(argv[1]) : 100000;
    const unsigned long seed = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 20261209UL;
    struct TModel {
        const char* Name;
        Rc2KeyModel Model;
    };
    const TModel models[] = {
        {"(a) 5 hash bytes + 11 zero salt, 40 bits", Rc2KeyModel::Salted40},
        {"(b) 16 hash bytes, 40 bits", Rc2KeyModel::Full40},
        {"(c) 16 hash bytes, 128 bits", Rc2KeyModel::Full128},
    };
    TModelEncrypter encrypter;
    std::printf("%ld random printable passwords (1 to 16 bytes) per key model, seed %lu\n", count, seed);
    long totalWrong = 0;
    for (const TModel& m : models) {
        std::mt19937 random(seed);
        long right = 0, wrong = 0, failed = 0;
        const auto start = std::chrono::steady_clock::now();
        for (long i = 0; i < count; ++i) {
            const std::string password = RandomPrintablePassword(random);
            const TPasswordCipherResult read = DecryptStoredPassword(encrypter.StoredText(m.Model, password));
            if (!read.Ok)
                ++failed;
            else if (read.Text == password)
                ++right;
            else
                ++wrong;
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("  %-42s right %7ld   wrong %5ld   not read %5ld   (%.1f s)\n", m.Name, right, wrong, failed,
                    seconds);
        totalWrong += wrong;
    }
    std::printf("wrong results in all: %ld\n", totalWrong);
    return 0;
}
