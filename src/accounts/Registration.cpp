#include "accounts/Registration.h"

#include "accounts/StoredPassword.h"
#include "textconv/ByteRules.h"
#include "textconv/Cp932.h"

#include <algorithm>

TRegistrationEdits EditsFromAccounts(const TAccounts& accounts)
{
    TRegistrationEdits edits;
    for (size_t k = 0; k < accounts.size(); ++k) {
        edits.Ids[k] = accounts[k].YahooId;
        edits.Passwords[k] = accounts[k].PasswordText;
    }
    return edits;
}

TAccounts AccountsFromEdits(const TRegistrationEdits& edits)
{
    TAccounts accounts;
    for (size_t k = 0; k < accounts.size(); ++k) {
        accounts[k].YahooId = edits.Ids[k];
        accounts[k].PasswordText = edits.Passwords[k];
    }
    return accounts;
}

TStoredAndShownPasswords::TDecrypted TStoredAndShownPasswords::Decrypt(const std::array<std::string, 3>& shown,
                                                                       const std::array<std::string, 3>& storedTexts)
{
    TDecrypted out;
    for (size_t k = 0; k < storedTexts.size(); ++k) {
        if (shown[k] != storedTexts[k]) {
            out.Passwords[k] = shown[k];
            continue;
        }
        m_kept[k].reset();
        if (storedTexts[k].empty())
            continue;
        TPasswordCipherResult plain = DecryptStoredPassword(storedTexts[k]);
        if (!plain.Ok)
            out.Unreadable.push_back(static_cast<int>(k) + 1);
        out.Passwords[k] = std::move(plain.Text);
        m_kept[k] = TKept{out.Passwords[k], storedTexts[k]};
    }
    return out;
}

TStoredAndShownPasswords::TEncrypted TStoredAndShownPasswords::Encrypt(const std::array<std::string, 3>& passwords)
{
    TEncrypted out;
    for (size_t k = 0; k < passwords.size(); ++k) {
        if (m_kept[k] && m_kept[k]->Shown == passwords[k]) {
            out.StoredTexts[k] = m_kept[k]->Stored;
            continue;
        }
        TPasswordCipherResult stored = EncryptStoredPassword(passwords[k]);
        if (!stored.Ok)
            return {false, {}, std::move(stored.ErrorMessage)};
        out.StoredTexts[k] = std::move(stored.Text);
    }
    for (size_t k = 0; k < passwords.size(); ++k)
        m_kept[k] = TKept{passwords[k], out.StoredTexts[k]};
    out.Ok = true;
    return out;
}

std::string UnreadablePasswordsMessage(const std::vector<int>& entries)
{
    std::string list;
    for (int entry : entries)
        list += (list.empty() ? "" : ", ") + std::to_string(entry);
    return "Yahoo!ID " + list +
           " の保存されたパスワードを読み取れませんでした。パスワード欄は空で表示しています"
           "（変更しなければ保存内容はそのまま残ります）";
}

std::string EncryptFailedMessage(std::string_view cipherError)
{
    return "パスワードを暗号化できませんでした（" + std::string(cipherError) + "）。何も保存していません";
}

TRegistrationCheck CheckRegistration(const std::array<std::u16string, 3>& ids,
                                     const std::array<std::u16string, 3>& passwords)
{
    TRegistrationCheck check;
    for (size_t k = 0; k < ids.size(); ++k) {
        auto id = cp932::FromUtf16(ids[k]);
        auto password = cp932::FromUtf16(passwords[k]);
        if (!id || !password) {
            check.Problem = TRegistrationProblem::Unrepresentable;
            return check;
        }
        check.Edits.Ids[k] = std::move(*id);
        check.Edits.Passwords[k] = std::move(*password);
    }
    const auto hasControl = [](const std::string& text) {
        return std::any_of(text.begin(), text.end(),
                           [](char c) { return byterules::IsControl(static_cast<unsigned char>(c)); });
    };
    for (const std::string& id : check.Edits.Ids) {
        if (id.find(',') != std::string::npos)
            check.Problem = TRegistrationProblem::CommaInId;
        else if (hasControl(id))
            check.Problem = TRegistrationProblem::ControlInId;
        if (check.Problem != TRegistrationProblem::None)
            return check;
    }
    for (const std::string& password : check.Edits.Passwords) {
        if (hasControl(password)) {
            check.Problem = TRegistrationProblem::ControlInPassword;
            return check;
        }
    }
    return check;
}

const char* RegistrationMessage(TRegistrationProblem problem)
{
    switch (problem) {
    case TRegistrationProblem::None:
        return "";
    case TRegistrationProblem::CommaInId:
        return "Yahoo!IDに「,」は使えません";
    case TRegistrationProblem::ControlInId:
        return "Yahoo!IDに改行などの制御文字は使えません";
    case TRegistrationProblem::ControlInPassword:
        return "パスワードに改行などの制御文字は使えません";
    case TRegistrationProblem::Unrepresentable:
        return cp932::kUnrepresentableMessage;
    }
    return "";
}
