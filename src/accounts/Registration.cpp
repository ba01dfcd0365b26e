#include "accounts/Registration.h"

#include "accounts/StoredPassword.h"
#include "textconv/Cp932.h"

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

std::array<std::string, 3> TPasswordRound::Encrypt(const std::array<std::string, 3>& editTexts)
{
    std::array<std::string, 3> stored;
    for (size_t k = 0; k < editTexts.size(); ++k) {
        const std::string plain = (m_kept[k] && m_kept[k]->Stored == editTexts[k])
                                      ? m_kept[k]->Plain
                                      : editTexts[k];
        stored[k] = EncryptPasswordText(plain);
        m_kept[k] = TKept{plain, stored[k]};
    }
    return stored;
}

std::array<std::string, 3> TPasswordRound::Decrypt(const std::array<std::string, 3>& editTexts)
{
    std::array<std::string, 3> plain;
    for (size_t k = 0; k < editTexts.size(); ++k) {
        plain[k] = DecryptPasswordText(editTexts[k]);
        m_kept[k].reset();
    }
    return plain;
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
    for (const std::string& id : check.Edits.Ids) {
        if (id.find(',') != std::string::npos) {
            check.Problem = TRegistrationProblem::CommaInId;
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
    case TRegistrationProblem::Unrepresentable:
        return cp932::kUnrepresentableMessage;
    }
    return "";
}
