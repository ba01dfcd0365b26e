#include "accounts/Unit2.h"

#include "settings/AppFiles.h"
#include "ui/WideText.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TForm2::TForm2(TMainWindowLink& form1, QWidget* parent)
    : TDialogForm(form1, "Form2", QStringLiteral("Yahoo!IDの登録"), kClientWidth, kClientHeight, parent)
{
    PzConv1.JisByteCodeType = btAscii;
    PzConv1.JisKanaConvType = ktZenWithDaku;

    GroupBox1 = MakeGroupBox(this, "GroupBox1", QStringLiteral("IDの登録"), {8, 8, 369, 281});

    Label1 = MakeLabel(GroupBox1, "Label1", QStringLiteral("Yahoo!オークションにログインするためのIDとパスワードを"),
                       QPoint(24, 24));
    Label2 = MakeLabel(GroupBox1, "Label2", QStringLiteral("登録します。３つまでIDを登録できます。（デフォルトはID1）"),
                       QPoint(24, 40));
    Label3 = MakeLabel(GroupBox1, "Label3", QStringLiteral("Yahoo!ID 1"), QPoint(32, 64));
    Label6 = MakeLabel(GroupBox1, "Label6", QStringLiteral("Password"), QPoint(40, 88));
    Label4 = MakeLabel(GroupBox1, "Label4", QStringLiteral("Yahoo!ID 2"), QPoint(32, 120));
    Label7 = MakeLabel(GroupBox1, "Label7", QStringLiteral("Password"), QPoint(40, 144));
    Label5 = MakeLabel(GroupBox1, "Label5", QStringLiteral("Yahoo!ID 3"), QPoint(32, 176));
    Label8 = MakeLabel(GroupBox1, "Label8", QStringLiteral("Password"), QPoint(40, 200));

    Edit1 = MakeEdit(GroupBox1, "Edit1", {104, 64, 121, 20}, QStringLiteral("ID1"));
    Edit2 = MakeEdit(GroupBox1, "Edit2", {104, 88, 121, 20}, QStringLiteral("password"));
    Edit3 = MakeEdit(GroupBox1, "Edit3", {104, 120, 121, 20}, QStringLiteral("ID2"));
    Edit4 = MakeEdit(GroupBox1, "Edit4", {104, 144, 121, 20}, QStringLiteral("password"));
    Edit5 = MakeEdit(GroupBox1, "Edit5", {104, 176, 121, 20}, QStringLiteral("ID3"));
    Edit6 = MakeEdit(GroupBox1, "Edit6", {104, 200, 121, 20}, QStringLiteral("password"));
    for (QLineEdit* edit : PasswordEdits()) {
        edit->setEchoMode(QLineEdit::Password);
        edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    }
    Label3->setBuddy(Edit1);
    Label6->setBuddy(Edit2);
    Label4->setBuddy(Edit3);
    Label7->setBuddy(Edit4);
    Label5->setBuddy(Edit5);
    Label8->setBuddy(Edit6);

    Button1 = MakeButton(GroupBox1, "Button1", QStringLiteral("登録"), {272, 240, 75, 25});
    Button2 = MakeButton(GroupBox1, "Button2", QStringLiteral("キャンセル"), {192, 240, 75, 25});
    Button3 = MakeButton(this, "Button3", QStringLiteral("暗号化"), {440, 40, 75, 25});
    Button4 = MakeButton(this, "Button4", QStringLiteral("復号化"), {440, 72, 75, 25});
    Button3->setFocusPolicy(Qt::NoFocus);
    Button4->setFocusPolicy(Qt::NoFocus);

    SetTabOrder({Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Button1, Button2});
    UseDialogKeys(Button1, Button2);
    // The labels say "Password" three times; a screen reader says whose.
    for (size_t k = 0; k < 3; ++k)
        PasswordEdits()[k]->setAccessibleName(QStringLiteral("ID %1 のパスワード").arg(k + 1));

    ConnectClick(Button1, &TForm2::Button1Click);
    ConnectClick(Button2, &TForm2::Button2Click);
    ConnectClick(Button3, [this] { Button3Click(); });
    ConnectClick(Button4, &TForm2::Button4Click);
}

void TForm2::FormShow()
{
    Form1().SetMainWindowEnabled(false);
    // A failed reading leaves the edits as they are, not decrypted.
    ReadAccounts(Form1().DataDir(), Form1().AccountTable());
    const TRegistrationEdits edits = EditsFromAccounts(Form1().AccountTable());
    for (size_t k = 0; k < 3; ++k) {
        IdEdits()[k]->setText(SjisToWide(edits.Ids[k]));
        PasswordEdits()[k]->setText(SjisToWide(edits.Passwords[k]));
    }
    Button4Click();
}

std::array<std::string, 3> TForm2::PasswordTexts() const
{
    std::array<std::string, 3> texts;
    for (size_t k = 0; k < 3; ++k)
        texts[k] = WideToSjis(PasswordEdits()[k]->text());
    return texts;
}

void TForm2::Button4Click()
{
    const TStoredAndShownPasswords::TDecrypted opened =
        m_shownPasswords.Decrypt(PasswordTexts(), EditsFromAccounts(Form1().AccountTable()).Passwords);
    for (size_t k = 0; k < 3; ++k)
        PasswordEdits()[k]->setText(SjisToWide(opened.Passwords[k]));
    if (!opened.Unreadable.empty())
        Form1().Reporter().ShowMessage(QString::fromStdString(UnreadablePasswordsMessage(opened.Unreadable)));
}

std::optional<std::array<std::string, 3>> TForm2::Button3Click()
{
    const TStoredAndShownPasswords::TEncrypted stored = m_shownPasswords.Encrypt(PasswordTexts());
    if (!stored.Ok) {
        Form1().Reporter().ShowError(QString::fromStdString(EncryptFailedMessage(stored.ErrorMessage)));
        return std::nullopt;
    }
    return stored.StoredTexts;
}

void TForm2::Button1Click()
{
    std::array<std::u16string, 3> ids, passwords;
    for (size_t k = 0; k < 3; ++k) {
        ids[k] = IdEdits()[k]->text().toStdU16String();
        passwords[k] = PasswordEdits()[k]->text().toStdU16String();
    }
    const TRegistrationCheck check = CheckRegistration(ids, passwords);
    if (check.Problem != TRegistrationProblem::None) {
        Form1().Reporter().ShowMessage(QString::fromUtf8(RegistrationMessage(check.Problem)));
        return;
    }

    // The password edits keep the passwords; only the table and the file
    // get the stored texts, and nothing changes when encrypting failed.
    const std::optional<std::array<std::string, 3>> stored = Button3Click();
    if (!stored)
        return;
    TRegistrationEdits edits = check.Edits;
    edits.Passwords = *stored;
    Form1().AccountTable() = AccountsFromEdits(edits);
    Form1().FillAccountSelector();
    WriteAccounts(Form1().DataDir(), Form1().AccountTable());
    Dismiss();
}

void TForm2::Button2Click() { FormClose(); }

void TForm2::FormClose() { Dismiss(); }
