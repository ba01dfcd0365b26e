// SjisToEuc under every mode and EucToSjis on arbitrary bytes, plus round
// trips on well-formed text built from the input.
#include "../textconv/RuleModel.h"
#include "textconv/PzConv.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

void Check(bool ok)
{
    if (!ok)
        __builtin_trap();
}

std::string Convert(TJisKanaConvType mode, const std::string& text)
{
    TPzConv conv;
    conv.JisKanaConvType = mode;
    return conv.SjisToEuc(text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string raw(reinterpret_cast<const char*>(data), size);

    // Widening fused into the conversion equals widening first.
    const std::string none = Convert(ktNone, raw);
    Check(Convert(ktZenWithDaku, raw) == Convert(ktNone, TPzConv::HanToZenWithDaku(raw)));
    Check(Convert(ktZenSepaDaku, raw) == Convert(ktNone, TPzConv::HanToZenSepaDaku(raw)));
    Check(Convert(static_cast<TJisKanaConvType>((size & 0xFC) | 3), raw) == none);
    Check(none.size() <= 2 * size);
    if (size <= 256) {  // the literal model is quadratic
        for (auto mode : {ktNone, ktZenWithDaku, ktZenSepaDaku})
            Check(Convert(mode, raw) == rulemodel::SjisToEuc(raw, mode));
    }
    const std::string back = TPzConv::EucToSjis(raw);
    Check(back.size() <= size);
    Check(back == rulemodel::EucToSjis(raw));

    // Well-formed Shift_JIS from the input: ASCII, half-width kana and every
    // cell of the JIS X 0208 grid. ktNone and EucToSjis are inverses on it,
    // and on the EUC-JP text they produce.
    std::string sjis;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint8_t b = data[i];
        if (b < 0x80) {
            sjis += static_cast<char>(b);
        } else if (TPzConv::IsHanKana(b)) {
            sjis += static_cast<char>(b);
        } else if (i + 1 < size) {
            const auto j1 = static_cast<std::uint8_t>(0x21 + b % 94);
            const auto j2 = static_cast<std::uint8_t>(0x21 + data[++i] % 94);
            sjis += TPzConv::JisToSjis(j1, j2);
        }
    }
    const std::string euc = Convert(ktNone, sjis);
    Check(TPzConv::EucToSjis(euc) == sjis);
    Check(Convert(ktNone, TPzConv::EucToSjis(euc)) == euc);
    return 0;
}
