// TForm2, the account registration dialog: up to three Yahoo! IDs with
// their passwords, read from login.ini when shown (passwords decrypted) and
// written back encrypted on 登録.
#pragma once

#include "accounts/Registration.h"
#include "textconv/PzConv.h"
#include "ui/DialogForm.h"

#include <optional>

class TForm2 : public TDialogForm {
public:
    explicit TForm2(TMainWindowLink& form1, QWidget* parent = nullptr);

    static constexpr int kClientWidth = 384;
    static constexpr int kClientHeight = 297;

    TPzConv PzConv1;

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label7 = nullptr;
    QLabel* Label8 = nullptr;
    QLineEdit* Edit1 = nullptr;  // ID of entry 0
    QLineEdit* Edit2 = nullptr;  // password of entry 0
    QLineEdit* Edit3 = nullptr;
    QLineEdit* Edit4 = nullptr;
    QLineEdit* Edit5 = nullptr;
    QLineEdit* Edit6 = nullptr;
    QPushButton* Button1 = nullptr;  // 登録
    QPushButton* Button2 = nullptr;  // キャンセル
    // The encrypt and decrypt steps, beyond the right edge of the client
    // area; they take no keyboard focus, so no key press can run them.
    QPushButton* Button3 = nullptr;  // 暗号化
    QPushButton* Button4 = nullptr;  // 復号化

    // Handlers; they may throw (the dialog's connections run them guarded).
    void FormShow() override;
    void Button1Click();
    void Button2Click();
    void FormClose() override;
    // The encrypt step: the stored texts for the password edits, or nothing
    // after telling the user that encrypting failed. The edits keep the
    // passwords.
    std::optional<std::array<std::string, 3>> Button3Click();
    // The decrypt step, in place: the password edits, holding stored texts,
    // get the passwords; the user is told once which entries did not
    // decrypt.
    void Button4Click();

private:
    std::array<QLineEdit*, 3> IdEdits() const { return {Edit1, Edit3, Edit5}; }
    std::array<QLineEdit*, 3> PasswordEdits() const { return {Edit2, Edit4, Edit6}; }
    std::array<std::string, 3> PasswordTexts() const;

    TStoredAndShownPasswords m_shownPasswords;
};
