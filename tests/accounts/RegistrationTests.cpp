// The registration round without the dialog: encrypt in place, write
// login.ini, read it back and decrypt.
#include "accounts/Registration.h"

#include "settings/AppFiles.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <regex>

namespace {

using TTexts = std::array<std::string, 3>;

TEST(Registration, RoundTripThroughLoginIni)
{
    testfiles::TTempDir dir;
    const TTexts passwords = {"a", "pass123", "1234567"};
    TStoredAndShownPasswords round;
    TRegistrationEdits edits{{"alice", "bob", "carol"}, round.Encrypt(passwords).StoredTexts};
    WriteAccounts(dir.path(), AccountsFromEdits(edits));

    const std::string bytes = dir.Read("login.ini");
    // Three lines, CR LF each, ID "," and a 12-character stored text.
    const std::regex layout("alice,([A-Za-z0-9+/]{11}=)\r\nbob,([A-Za-z0-9+/]{11}=)\r\ncarol,([A-Za-z0-9+/]{11}=)\r\n");
    std::smatch m;
    ASSERT_TRUE(std::regex_match(bytes, m, layout)) << bytes;
    EXPECT_EQ(m[1].str(), edits.Passwords[0]);
    EXPECT_EQ(dir.Mode("login.ini"), 0600u);

    TAccounts reread;
    ReadAccounts(dir.path(), reread);
    const TRegistrationEdits shown = EditsFromAccounts(reread);
    EXPECT_EQ(shown.Ids, (TTexts{"alice", "bob", "carol"}));
    TStoredAndShownPasswords again;
    EXPECT_EQ(again.Decrypt(shown.Passwords, shown.Passwords).Passwords, passwords);
}

TEST(Registration, StoredTextLengthFollowsThePasswordLength)
{
    struct TRow {
        size_t Bytes;
        size_t Chars;
    };
    const TRow rows[] = {{0, 12}, {1, 12}, {7, 12}, {8, 24}, {15, 24}, {16, 32}, {23, 32}};
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Bytes);
        TStoredAndShownPasswords round;
        const TTexts stored = round.Encrypt({std::string(row.Bytes, 'p'), "", ""}).StoredTexts;
        EXPECT_EQ(stored[0].size(), row.Chars);
        EXPECT_EQ(stored[1].size(), 12u);  // the empty password
    }
}

TEST(Registration, SamePasswordGivesTheSameStoredText)
{
    TStoredAndShownPasswords first, second;
    const TTexts a = first.Encrypt({"secret", "secret", "other"}).StoredTexts;
    const TTexts b = second.Encrypt({"secret", "x", "y"}).StoredTexts;
    EXPECT_EQ(a[0], a[1]);
    EXPECT_EQ(a[0], b[0]);
    EXPECT_NE(a[0], a[2]);
}

TEST(Registration, SecondEncryptAfterAFailedWriteStoresTheSameTexts)
{
    TStoredAndShownPasswords round;
    const TTexts first = round.Encrypt({"one", "two", "three"}).StoredTexts;
    // The edits still show the passwords after a failed write.
    const TTexts second = round.Encrypt({"one", "two", "three"}).StoredTexts;
    EXPECT_EQ(second, first);
    TStoredAndShownPasswords reader;
    EXPECT_EQ(reader.Decrypt(second, second).Passwords, (TTexts{"one", "two", "three"}));

    // An edit typed over after the first encryption takes its new text.
    const TTexts third = round.Encrypt({"one", "changed", "three"}).StoredTexts;
    EXPECT_EQ(reader.Decrypt(third, third).Passwords, (TTexts{"one", "changed", "three"}));
}

TEST(Registration, AStoredTextTypedIntoAnEditIsAPassword)
{
    TStoredAndShownPasswords round;
    const TTexts stored = round.Encrypt({"one", "", ""}).StoredTexts;
    round.Decrypt(stored, stored);
    TStoredAndShownPasswords reader;
    const TTexts again = round.Encrypt({stored[0], "", ""}).StoredTexts;
    EXPECT_EQ(reader.Decrypt(again, again).Passwords[0], stored[0]);
}

// A second 復号化 finds passwords, not stored texts, and changes nothing:
// 登録 still writes the table's texts, readable or not.
TEST(Registration, SecondDecryptChangesNothing)
{
    TTexts table = TStoredAndShownPasswords().Encrypt({"one", "", "three"}).StoredTexts;
    table[1] = "hunter2";
    TStoredAndShownPasswords round;
    const TTexts shown = round.Decrypt(table, table).Passwords;
    const TStoredAndShownPasswords::TDecrypted again = round.Decrypt(shown, table);
    EXPECT_EQ(again.Passwords, (TTexts{"one", "", "three"}));
    EXPECT_TRUE(again.Unreadable.empty());
    EXPECT_EQ(round.Encrypt(again.Passwords).StoredTexts, table);
}

TEST(Registration, CheckRefusesWhatLoginIniCannotHold)
{
    struct TRow {
        const char* Label;
        std::array<std::u16string, 3> Ids;
        std::array<std::u16string, 3> Passwords;
        TRegistrationProblem Problem;
    };
    const TRow rows[] = {
        {"plain", {u"a", u"", u"c"}, {u"p", u"", u"q,r"}, TRegistrationProblem::None},
        {"comma in an ID", {u"a", u"b,c", u""}, {u"", u"", u""}, TRegistrationProblem::CommaInId},
        {"CR LF in an ID", {u"a", u"", u"b\r\n"}, {u"", u"", u""}, TRegistrationProblem::ControlInId},
        {"EOF mark in an ID", {u"a\x1A", u"", u""}, {u"", u"", u""}, TRegistrationProblem::ControlInId},
        {"NUL in an ID", {std::u16string(u"a\0b", 3), u"", u""}, {u"", u"", u""}, TRegistrationProblem::ControlInId},
        {"DEL in an ID", {u"", u"a\x7F", u""}, {u"", u"", u""}, TRegistrationProblem::ControlInId},
        {"tab in a password", {u"a", u"", u""}, {u"p\tq", u"", u""}, TRegistrationProblem::ControlInPassword},
        {"emoji in a password", {u"a", u"", u""}, {u"", u"\U0001F600", u""}, TRegistrationProblem::Unrepresentable},
        {"accent in an ID", {u"\u00E9", u"", u""}, {u"", u"", u""}, TRegistrationProblem::Unrepresentable},
    };
    for (const TRow& row : rows) {
        SCOPED_TRACE(row.Label);
        const TRegistrationCheck check = CheckRegistration(row.Ids, row.Passwords);
        EXPECT_EQ(check.Problem, row.Problem);
    }
    const TRegistrationCheck ok = CheckRegistration({u"ｱｲ", u"", u""}, {u"日本", u"", u""});
    ASSERT_EQ(ok.Problem, TRegistrationProblem::None);
    EXPECT_EQ(ok.Edits.Ids[0], "\xB1\xB2");
    EXPECT_EQ(ok.Edits.Passwords[0], "\x93\xFA\x96\x7B");
}

}  // namespace
