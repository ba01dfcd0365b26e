#include "accounts/Unit2.h"

#include "settings/AppFiles.h"
#include "shell/Unit1.h"
#include "shell/browser/WideText.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

namespace {

std::u16string Utf16(const QString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<size_t>(text.size()));
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int left, int top)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int top, bool password)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(104, top, 121, 20);
    if (password) {
        edit->setEchoMode(QLineEdit::Password);
        edit->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    }
    return edit;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

}  // namespace

TForm2::TForm2(TForm1& form1, QWidget* parent) : QWidget(parent), m_form1(form1)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Yahoo!IDの登録"));
    setFont(TForm1::DesignFont());
    setFixedSize(kClientWidth, kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));

    PzConv1.JisByteCodeType = btAscii;
    PzConv1.JisKanaConvType = ktZenWithDaku;

    GroupBox1 = new QGroupBox(QStringLiteral("IDの登録"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 8, 369, 281);

    Label1 = MakeLabel(GroupBox1, "Label1",
                       QStringLiteral("Yahoo!オークションにログインするためのIDとパスワードを"), 24, 24);
    Label2 = MakeLabel(GroupBox1, "Label2",
                       QStringLiteral("登録します。３つまでIDを登録できます。（デフォルトはID1）"), 24, 40);
    Label3 = MakeLabel(GroupBox1, "Label3", QStringLiteral("Yahoo!ID 1"), 32, 64);
    Label6 = MakeLabel(GroupBox1, "Label6", QStringLiteral("Password"), 40, 88);
    Label4 = MakeLabel(GroupBox1, "Label4", QStringLiteral("Yahoo!ID 2"), 32, 120);
    Label7 = MakeLabel(GroupBox1, "Label7", QStringLiteral("Password"), 40, 144);
    Label5 = MakeLabel(GroupBox1, "Label5", QStringLiteral("Yahoo!ID 3"), 32, 176);
    Label8 = MakeLabel(GroupBox1, "Label8", QStringLiteral("Password"), 40, 200);

    Edit1 = MakeEdit(GroupBox1, "Edit1", QStringLiteral("ID1"), 64, false);
    Edit2 = MakeEdit(GroupBox1, "Edit2", QStringLiteral("password"), 88, true);
    Edit3 = MakeEdit(GroupBox1, "Edit3", QStringLiteral("ID2"), 120, false);
    Edit4 = MakeEdit(GroupBox1, "Edit4", QStringLiteral("password"), 144, true);
    Edit5 = MakeEdit(GroupBox1, "Edit5", QStringLiteral("ID3"), 176, false);
    Edit6 = MakeEdit(GroupBox1, "Edit6", QStringLiteral("password"), 200, true);
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

    QWidget* const order[] = {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Button1, Button2};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    TMessageReporter& reporter = m_form1.Reporter();
    const auto onClick = [this, &reporter](QPushButton* button, void (TForm2::*handler)()) {
        connect(button, &QPushButton::clicked, this,
                [this, &reporter, handler] { Guarded(reporter, [this, handler] { (this->*handler)(); }); });
    };
    onClick(Button1, &TForm2::Button1Click);
    onClick(Button2, &TForm2::Button2Click);
    onClick(Button3, &TForm2::Button3Click);
    onClick(Button4, &TForm2::Button4Click);
}

void TForm2::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        Guarded(m_form1.Reporter(), [this] { FormShow(); });
}

void TForm2::closeEvent(QCloseEvent* event)
{
    Guarded(m_form1.Reporter(), [this] { FormClose(); });
    event->accept();
}

void TForm2::FormShow()
{
    m_form1.setEnabled(false);
    // A failed reading leaves the edits as they are, not decrypted.
    ReadAccounts(m_form1.DataDir(), m_form1.Accounts);
    const TRegistrationEdits edits = EditsFromAccounts(m_form1.Accounts);
    for (size_t k = 0; k < 3; ++k) {
        IdEdits()[k]->setText(SjisToWide(edits.Ids[k]));
        PasswordEdits()[k]->setText(SjisToWide(edits.Passwords[k]));
    }
    Button4Click();
}

void TForm2::Button4Click()
{
    std::array<std::string, 3> texts;
    for (size_t k = 0; k < 3; ++k)
        texts[k] = WideToSjis(PasswordEdits()[k]->text());
    const std::array<std::string, 3> plain = m_round.Decrypt(texts);
    for (size_t k = 0; k < 3; ++k)
        PasswordEdits()[k]->setText(SjisToWide(plain[k]));
}

void TForm2::Button3Click()
{
    std::array<std::string, 3> texts;
    for (size_t k = 0; k < 3; ++k)
        texts[k] = WideToSjis(PasswordEdits()[k]->text());
    const std::array<std::string, 3> stored = m_round.Encrypt(texts);
    for (size_t k = 0; k < 3; ++k)
        PasswordEdits()[k]->setText(SjisToWide(stored[k]));
}

void TForm2::Button1Click()
{
    std::array<std::u16string, 3> ids, passwords;
    for (size_t k = 0; k < 3; ++k) {
        ids[k] = Utf16(IdEdits()[k]->text());
        passwords[k] = Utf16(PasswordEdits()[k]->text());
    }
    const TRegistrationCheck check = CheckRegistration(ids, passwords);
    if (check.Problem != TRegistrationProblem::None) {
        m_form1.Reporter().ShowMessage(QString::fromUtf8(RegistrationMessage(check.Problem)));
        return;
    }

    Button3Click();
    TRegistrationEdits edits = check.Edits;
    for (size_t k = 0; k < 3; ++k)
        edits.Passwords[k] = WideToSjis(PasswordEdits()[k]->text());
    m_form1.Accounts = AccountsFromEdits(edits);
    m_form1.FillAccountSelector();
    WriteAccounts(m_form1.DataDir(), m_form1.Accounts);
    m_form1.setEnabled(true);
    hide();
}

void TForm2::Button2Click()
{
    FormClose();
}

void TForm2::FormClose()
{
    m_form1.setEnabled(true);
    hide();
}
