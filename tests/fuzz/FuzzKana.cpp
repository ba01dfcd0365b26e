// Both kana widening operations on arbitrary bytes.
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

bool LeadRange(std::uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

// No half-width kana is left in a single-byte position (forward role scan).
bool NoSingleHanKana(const std::string& s)
{
    bool oddRun = false;
    for (const char c : s) {
        const auto b = static_cast<std::uint8_t>(c);
        const bool single = b == 0 || (!oddRun && !LeadRange(b));
        if (single && TPzConv::IsHanKana(b))
            return false;
        oddRun = LeadRange(b) ? !oddRun : false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string with = TPzConv::HanToZenWithDaku(text);
    const std::string sepa = TPzConv::HanToZenSepaDaku(text);

    Check(NoSingleHanKana(with));
    Check(NoSingleHanKana(sepa));
    Check(with.size() <= sepa.size() && sepa.size() <= 2 * size);
    // Widening is done once: a widened text has nothing left to widen.
    Check(TPzConv::HanToZenWithDaku(with) == with);
    Check(TPzConv::HanToZenSepaDaku(sepa) == sepa);
    // Without sound marks there is nothing to merge.
    if (text.find('\xDE') == std::string::npos && text.find('\xDF') == std::string::npos)
        Check(with == sepa);
    if (size <= 256) {
        Check(with == rulemodel::Widen(text, true));
        Check(sepa == rulemodel::Widen(text, false));
    }
    return 0;
}
