// Character-code conversion of TPzConv: Shift_JIS <-> JIS X 0208 <-> EUC-JP
// and half-width kana widening, checked against glibc iconv and against a
// direct, position-by-position reading of the conversion rules.
#include "textconv/PzConv.h"
#include "RuleModel.h"
#include "textconv/Cp932.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace std::string_literals;

namespace {

std::string Hex(const std::string& s)
{
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : s) {
        if (!out.empty())
            out += ' ';
        out += digits[c >> 4];
        out += digits[c & 0xF];
    }
    return out;
}

std::string WithMode(TJisKanaConvType mode, const std::string& text)
{
    TPzConv conv;
    conv.JisKanaConvType = mode;
    return conv.SjisToEuc(text);
}

// glibc iconv over a whole buffer; nothing when any part fails.
std::optional<std::string> Iconv(const char* to, const char* from, const std::string& in)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out(in.size() * 4 + 8, '\0');
    char* ip = const_cast<char*>(in.data());
    std::size_t il = in.size();
    char* op = out.data();
    std::size_t ol = out.size();
    const std::size_t r = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1))
        return std::nullopt;
    out.resize(out.size() - ol);
    return out;
}

std::string Sjis(const char* utf8)
{
    auto s = cp932::FromUtf8(utf8);
    EXPECT_TRUE(s.has_value()) << utf8;
    return s.value_or("");
}

std::string RandomText(std::mt19937& rng, std::size_t maxLen)
{
    // Biased towards the bytes where the rules branch.
    static const unsigned char interesting[] = {0x00, 0x20, 0x41, 0x7F, 0x80, 0x81, 0x83, 0x8E, 0x8F, 0x9F, 0xA0,
                                                0xA1, 0xB3, 0xB6, 0xC4, 0xCA, 0xCE, 0xDE, 0xDF, 0xE0, 0xFC, 0xFD};
    std::uniform_int_distribution<std::size_t> len(0, maxLen);
    std::uniform_int_distribution<int> pick(0, 3);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<std::size_t> idx(0, sizeof interesting - 1);
    std::string s(len(rng), '\0');
    for (char& c : s)
        c = static_cast<char>(pick(rng) == 0 ? anyByte(rng) : interesting[idx(rng)]);
    return s;
}

// ---- Tests ---------------------------------------------------------------

TEST(PzConv, PropertiesDefaultToAsciiAndWidenWithMarks)
{
    const TPzConv conv;
    EXPECT_EQ(conv.JisByteCodeType, btAscii);
    EXPECT_EQ(conv.JisKanaConvType, ktZenWithDaku);
}

TEST(PzConv, ByteClassesCoverExactlyTheirRanges)
{
    for (int v = 0; v < 256; ++v) {
        const auto b = static_cast<std::uint8_t>(v);
        SCOPED_TRACE(v);
        EXPECT_EQ(TPzConv::IsHanKana(b), v >= 0xA1 && v <= 0xDF);
        EXPECT_EQ(TPzConv::IsDakuKana(b), v == 0xB3 || (v >= 0xB6 && v <= 0xC4) || (v >= 0xCA && v <= 0xCE));
        EXPECT_EQ(TPzConv::IsHanDakuKana(b), v >= 0xCA && v <= 0xCE);
        EXPECT_EQ(TPzConv::IsEucByte(b), v >= 0xA1 && v <= 0xFE);
    }
}

TEST(PzConv, JisSjisSingleCharacters)
{
    struct Row {
        const char* name;
        std::uint8_t j1, j2;
        std::string sjis;
    };
    const Row rows[] = {
        {"hiragana a", 0x24, 0x22, "\x82\xA0"s},
        {"kanji kan", 0x34, 0x41, "\x8A\xBF"s},
        {"first cell", 0x21, 0x21, "\x81\x40"s},
        {"last cell", 0x7E, 0x7E, "\xEF\xFC"s},
        {"last row below 0x5F", 0x5E, 0x7E, "\x9F\xFC"s},
        {"row 0x5F moves to 0xE0", 0x5F, 0x21, "\xE0\x40"s},
        {"odd row, second byte 0x60 skips 0x7F", 0x21, 0x60, "\x81\x80"s},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(Hex(TPzConv::JisToSjis(r.j1, r.j2)), Hex(r.sjis));
        EXPECT_EQ(Hex(TPzConv::SjisToJis(static_cast<std::uint8_t>(r.sjis[0]), static_cast<std::uint8_t>(r.sjis[1]))),
                  Hex(std::string{static_cast<char>(r.j1), static_cast<char>(r.j2)}));
    }
}

TEST(PzConv, JisToSjisIsEmptyForFirstBytesOutsideTheJisRange)
{
    for (int j1 : {0x00, 0x20, 0x7F, 0x80, 0xA1, 0xFF}) {
        SCOPED_TRACE(j1);
        EXPECT_EQ(TPzConv::JisToSjis(static_cast<std::uint8_t>(j1), 0x21), "");
    }
}

TEST(PzConv, SjisToJisInvertsJisToSjisOnTheWholeGrid)
{
    for (int j1 = 0x21; j1 <= 0x7E; ++j1)
        for (int j2 = 0x21; j2 <= 0x7E; ++j2) {
            const std::string s = TPzConv::JisToSjis(static_cast<std::uint8_t>(j1), static_cast<std::uint8_t>(j2));
            ASSERT_EQ(s.size(), 2u);
            const std::string j = TPzConv::SjisToJis(static_cast<std::uint8_t>(s[0]), static_cast<std::uint8_t>(s[1]));
            ASSERT_EQ(Hex(j), Hex(std::string{static_cast<char>(j1), static_cast<char>(j2)}))
                << "jis " << j1 << "," << j2;
        }
}

// The EUC-JP code iconv gives for a Shift_JIS character when iconv also
// reads it back to the same bytes and it is two bytes long.
std::optional<std::string> IconvEucPair(const char* eucName, const std::string& sjis)
{
    const auto euc = Iconv(eucName, "CP932", sjis);
    if (!euc || euc->size() != 2 || !TPzConv::IsEucByte(static_cast<std::uint8_t>((*euc)[0])) ||
        Iconv("CP932", eucName, *euc) != sjis)
        return std::nullopt;
    return euc;
}

// Every JIS X 0208 character of code page 932 converts to iconv's EUC-JP and
// back to the same two bytes. Six symbols (wave dash, double vertical line,
// minus, cent, pound, not) reach Unicode differently in the two iconv
// tables, so for them the Microsoft variant EUC-JP-MS is the oracle, limited
// to the JIS X 0208 rows (1-8 and 16-84) so that NEC and IBM extensions stay out.
TEST(PzConv, EveryJisX0208CharacterMatchesIconvEucJp)
{
    TPzConv conv;
    conv.JisKanaConvType = ktNone;
    int checked = 0;
    std::string all;
    std::string allEuc;
    auto trailBytes = [](int t) { return (t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC); };
    auto jisX0208Row = [](const std::string& euc) {
        const auto e1 = static_cast<unsigned char>(euc[0]);
        return (e1 >= 0xA1 && e1 <= 0xA8) || (e1 >= 0xB0 && e1 <= 0xF4);
    };
    for (int lead = 0x81; lead <= 0xEF; ++lead) {
        if (lead > 0x9F && lead < 0xE0)
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!trailBytes(trail))
                continue;
            const std::string sjis{static_cast<char>(lead), static_cast<char>(trail)};
            auto euc = IconvEucPair("EUC-JP", sjis);
            if (!euc) {
                euc = IconvEucPair("EUC-JP-MS", sjis);
                if (!euc || !jisX0208Row(*euc))
                    continue;
            }
            ++checked;
            ASSERT_EQ(Hex(conv.SjisToEuc(sjis)), Hex(*euc)) << "Shift_JIS " << Hex(sjis);
            ASSERT_EQ(Hex(TPzConv::EucToSjis(*euc)), Hex(sjis)) << "EUC-JP " << Hex(*euc);
            all += sjis;
            allEuc += *euc;
        }
    }
    EXPECT_EQ(checked, 6879);  // the characters of JIS X 0208
    // The same characters in one text (no character boundary goes astray).
    EXPECT_EQ(conv.SjisToEuc(all), allEuc);
    EXPECT_EQ(TPzConv::EucToSjis(allEuc), all);
}

// Each half-width kana widens to its own full-width character; the expected
// text is written as characters, independently of the code table.
TEST(PzConv, WideningTableMatchesTheFullWidthCharacters)
{
    const std::string half = Sjis("｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ");
    ASSERT_EQ(half.size(), 63u);
    for (std::size_t i = 0; i < half.size(); ++i)
        ASSERT_EQ(static_cast<unsigned char>(half[i]), 0xA1 + i);
    const std::string full = Sjis("。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハ"
                                  "ヒフヘホマミムメモヤユヨラリルレロワン゛゜");
    EXPECT_EQ(cp932::ToUtf8(TPzConv::HanToZenSepaDaku(half)), cp932::ToUtf8(full));
    // No kana here is followed by a mark it can take, so nothing merges.
    EXPECT_EQ(cp932::ToUtf8(TPzConv::HanToZenWithDaku(half)), cp932::ToUtf8(full));
}

TEST(PzConv, EveryMarkMergesIntoTheKanaThatTakesIt)
{
    EXPECT_EQ(cp932::ToUtf8(TPzConv::HanToZenWithDaku(Sjis("ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞｳﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ"))),
              "ガギグゲゴザジズゼゾダヂヅデドバビブベボヴパピプペポ");
}

TEST(PzConv, WideningOperations)
{
    struct Row {
        const char* name;
        std::string in, withDaku, sepaDaku;
    };
    const Row rows[] = {
        {"empty", "", "", ""},
        {"ascii", "A b", "A b", "A b"},
        {"ka + voiced", "\xB6\xDE"s, "\x83\x4B"s, "\x83\x4A\x81\x4A"s},
        {"ha + voiced", "\xCA\xDE"s, "\x83\x6F"s, "\x83\x6E\x81\x4A"s},
        {"ha + semi-voiced", "\xCA\xDF"s, "\x83\x70"s, "\x83\x6E\x81\x4B"s},
        {"u + voiced is vu", "\xB3\xDE"s, "\x83\x94"s, "\x83\x45\x81\x4A"s},
        {"a + voiced stays apart", "\xB1\xDE"s, "\x83\x41\x81\x4A"s, "\x83\x41\x81\x4A"s},
        {"ka + semi-voiced stays apart", "\xB6\xDF"s, "\x83\x4A\x81\x4B"s, "\x83\x4A\x81\x4B"s},
        {"marks alone", "\xDE\xDF"s, "\x81\x4A\x81\x4B"s, "\x81\x4A\x81\x4B"s},
        {"one mark per kana", "\xCA\xDE\xDF"s, "\x83\x6F\x81\x4B"s, "\x83\x6E\x81\x4A\x81\x4B"s},
        {"kana at the end", "A\xB6"s, "A\x83\x4A"s, "A\x83\x4A"s},
        {"trail byte of beta is not widened", "\x83\xC0"s, "\x83\xC0"s, "\x83\xC0"s},
        {"kana after a zero byte", "\x81\x00\xB6"s, "\x81\x00\x83\x4A"s, "\x81\x00\x83\x4A"s},
        {"run of two leads, kana single", "\x81\x81\xB6"s, "\x81\x81\x83\x4A"s, "\x81\x81\x83\x4A"s},
        {"run of three leads, kana trail", "\x81\x81\x81\xB6\xDE"s, "\x81\x81\x81\xB6\x81\x4A"s,
         "\x81\x81\x81\xB6\x81\x4A"s},
        {"lone lead at the end", "\xB6\x81"s, "\x83\x4A\x81"s, "\x83\x4A\x81"s},
        {"bytes outside kana kept", "\x80\xA0\xFD\xFE\xFF"s, "\x80\xA0\xFD\xFE\xFF"s, "\x80\xA0\xFD\xFE\xFF"s},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(Hex(TPzConv::HanToZenWithDaku(r.in)), Hex(r.withDaku));
        EXPECT_EQ(Hex(TPzConv::HanToZenSepaDaku(r.in)), Hex(r.sepaDaku));
    }
}

TEST(PzConv, SjisToEucUnderEachMode)
{
    struct Row {
        const char* name;
        std::string in, none, withDaku, sepaDaku;
    };
    const Row rows[] = {
        {"empty", "", "", "", ""},
        {"ascii", "A b", "A b", "A b", "A b"},
        {"ka + voiced", "\xB6\xDE"s, "\x8E\xB6\x8E\xDE"s, "\xA5\xAC"s, "\xA5\xAB\xA1\xAB"s},
        {"u + voiced", "\xB3\xDE"s, "\x8E\xB3\x8E\xDE"s, "\xA5\xF4"s, "\xA5\xA6\xA1\xAB"s},
        {"a + voiced", "\xB1\xDE"s, "\x8E\xB1\x8E\xDE"s, "\xA5\xA2\xA1\xAB"s, "\xA5\xA2\xA1\xAB"s},
        {"kanji", "\x8A\xBF"s, "\xB4\xC1"s, "\xB4\xC1"s, "\xB4\xC1"s},
        {"beta keeps its trail byte", "\x83\xC0"s, "\xA6\xC2"s, "\xA6\xC2"s, "\xA6\xC2"s},
        {"singles 0x80 0xA0 0xFD-0xFF", "\x80\xA0\xFD\xFE\xFF"s, "\x80\xA0\xFD\xFE\xFF"s, "\x80\xA0\xFD\xFE\xFF"s,
         "\x80\xA0\xFD\xFE\xFF"s},
        {"lead before zero still pairs", "\x81\x00Z"s, "\xA1\x61Z"s, "\xA1\x61Z"s, "\xA1\x61Z"s},
        {"final lead byte kept", "A\x81"s, "A\x81"s, "A\x81"s, "A\x81"s},
        {"final lead after kana", "\xB6\xE0"s, "\x8E\xB6\xE0"s, "\xA5\xAB\xE0"s, "\xA5\xAB\xE0"s},
        {"run of 0x81 pairs up", "\x81\x81\x81\x81\x81"s, "\xA1\xE1\xA1\xE1\x81"s, "\xA1\xE1\xA1\xE1\x81"s,
         "\xA1\xE1\xA1\xE1\x81"s},
        {"odd run makes kana a trail", "\x81\x81\x81\xB6"s, "\xA1\xE1\xA2\xB8"s, "\xA1\xE1\xA2\xB8"s,
         "\xA1\xE1\xA2\xB8"s},
        {"zero byte single", "\x00\xB6"s, "\x00\x8E\xB6"s, "\x00\xA5\xAB"s, "\x00\xA5\xAB"s},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(Hex(WithMode(ktNone, r.in)), Hex(r.none));
        EXPECT_EQ(Hex(WithMode(ktZenWithDaku, r.in)), Hex(r.withDaku));
        EXPECT_EQ(Hex(WithMode(ktZenSepaDaku, r.in)), Hex(r.sepaDaku));
        EXPECT_EQ(Hex(WithMode(static_cast<TJisKanaConvType>(7), r.in)), Hex(r.none)) << "unknown mode acts as none";
    }
}

TEST(PzConv, EucToSjisCases)
{
    struct Row {
        const char* name;
        std::string in, out;
    };
    const Row rows[] = {
        {"empty", "", ""},
        {"ascii", "A b", "A b"},
        {"kanji", "\xB4\xC1"s, "\x8A\xBF"s},
        {"kana prefix", "\x8E\xB6"s, "\xB6"s},
        {"kana prefix before non-kana", "\x8E\x41"s, "\x8E\x41"s},
        {"kana prefix before 0xE0 pairs the 0xE0", "\x8E\xE0\xA1"s, "\x8E\xE0\x9F"s},
        {"kana prefix at the end", "A\x8E"s, "A\x8E"s},
        {"three-byte prefix copied", "\x8F\xB0\xA1"s, "\x8F\x88\x9F"s},
        {"second byte unchecked and wrapped", "\xA4\x00Z"s, "\x82\xFEZ"s},
        {"final first byte kept", "A\xA4"s, "A\xA4"s},
        {"final 0xFE kept", "\xB4\xC1\xFE"s, "\x8A\xBF\xFE"s},
        {"other high bytes copied", "\x80\x8D\xA0\xFF"s, "\x80\x8D\xA0\xFF"s},
        {"zero bytes kept", "\x00\xB4\xC1\x00"s, "\x00\x8A\xBF\x00"s},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(Hex(TPzConv::EucToSjis(r.in)), Hex(r.out));
    }
}

TEST(PzConv, EucJpKanaComesBackHalfWidth)
{
    std::string half;
    for (int b = 0xA1; b <= 0xDF; ++b)
        half += static_cast<char>(b);
    EXPECT_EQ(Hex(TPzConv::EucToSjis(WithMode(ktNone, half))), Hex(half));
    // The widened forms come back full-width.
    EXPECT_EQ(Hex(TPzConv::EucToSjis(WithMode(ktZenSepaDaku, half))), Hex(TPzConv::HanToZenSepaDaku(half)));
}

TEST(PzConv, FastPathsAgreeWithTheRulesReadLiterally)
{
    std::mt19937 rng(20240611);
    for (int round = 0; round < 4000; ++round) {
        const std::string text = RandomText(rng, 24);
        SCOPED_TRACE(Hex(text));
        ASSERT_EQ(Hex(TPzConv::HanToZenWithDaku(text)), Hex(rulemodel::Widen(text, true)));
        ASSERT_EQ(Hex(TPzConv::HanToZenSepaDaku(text)), Hex(rulemodel::Widen(text, false)));
        for (auto mode : {ktNone, ktZenWithDaku, ktZenSepaDaku})
            ASSERT_EQ(Hex(WithMode(mode, text)), Hex(rulemodel::SjisToEuc(text, mode))) << "mode " << int(mode);
    }
}

// Long texts go through the block conversion; runs of every kind must end
// exactly where the byte-by-byte reading ends them.
TEST(PzConv, EucToSjisBlocksAgreeWithTheStepByStepReading)
{
    static const unsigned char bytes[] = {0x00, 0x41, 0x7F, 0x80, 0x8D, 0x8E, 0x8F, 0xA0,
                                          0xA1, 0xB0, 0xDE, 0xDF, 0xE0, 0xFE, 0xFF};
    std::mt19937 rng(99);
    std::uniform_int_distribution<std::size_t> len(0, 120);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof bytes - 1);
    std::uniform_int_distribution<int> runLen(1, 24);
    std::uniform_int_distribution<int> anyByte(0, 255);
    for (int round = 0; round < 3000; ++round) {
        // Runs of one kind of character, as in real text, with stray bytes.
        std::string text;
        const std::size_t target = len(rng);
        while (text.size() < target) {
            const unsigned char b = bytes[pick(rng)];
            const int run = runLen(rng);
            for (int k = 0; k < run; ++k) {
                text += static_cast<char>(b);
                if (b >= 0x8E)
                    text += static_cast<char>(k % 3 == 2 ? anyByte(rng) : 0xA1 + (anyByte(rng) % 0x5E));
            }
        }
        SCOPED_TRACE(Hex(text));
        ASSERT_EQ(Hex(TPzConv::EucToSjis(text)), Hex(rulemodel::EucToSjis(text)));
    }
}

TEST(PzConv, LongRunsOfLeadBytes)
{
    // 0x81 x (2k) then a kana: the kana is single and widens; one more 0x81
    // makes it the trail of the last pair.
    const std::string even = std::string(100000, '\x81') + "\xB6"s;
    const std::string odd = std::string(100001, '\x81') + "\xB6"s;
    EXPECT_EQ(TPzConv::HanToZenWithDaku(even).substr(100000), "\x83\x4A"s);
    EXPECT_EQ(TPzConv::HanToZenWithDaku(odd), odd);
    const std::string euc = WithMode(ktZenWithDaku, odd);
    EXPECT_EQ(euc.size(), odd.size());
    EXPECT_EQ(Hex(euc.substr(euc.size() - 2)), "A2 B8");
}

}  // namespace
