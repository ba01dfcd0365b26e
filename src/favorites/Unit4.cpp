#include "favorites/Unit4.h"

#include "favorites/AddFavorite.h"
#include "shell/Unit1.h"
#include "shell/browser/WideText.h"

#include <QCloseEvent>
#include <QComboBox>
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

}  // namespace

TForm4::TForm4(TForm1& form1, QWidget* parent) : QWidget(parent), m_form1(form1)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("お気に入りの追加"));
    setFont(TForm1::DesignFont());
    setFixedSize(kClientWidth, kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));

    PzConv1.JisByteCodeType = btAscii;
    PzConv1.JisKanaConvType = ktZenWithDaku;

    GroupBox1 = new QGroupBox(QStringLiteral("お気に入りの追加"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 8, 329, 183);

    const auto label = [this](const char* name, const QString& text, int top) {
        auto* l = new QLabel(text, GroupBox1);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(16, top, 60, 20);
        return l;
    };
    Label1 = label("Label1", QStringLiteral("種類 ："), 28);
    Label2 = label("Label2", QStringLiteral("名前 ："), 60);
    Label3 = label("Label3", QStringLiteral("ＵＲＬ ："), 92);

    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    for (TFavoriteKind kind : kFavoriteKinds)
        ComboBox1->addItem(QString::fromUtf8(FavoriteKindCaption(kind)));
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(QStringLiteral("選択して下さい"));
    ComboBox1->setGeometry(80, 26, 145, 20);

    Edit1 = new QLineEdit(GroupBox1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(80, 58, 233, 20);
    Edit2 = new QLineEdit(GroupBox1);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(80, 90, 233, 20);
    Label1->setBuddy(ComboBox1);
    Label2->setBuddy(Edit1);
    Label3->setBuddy(Edit2);

    Button2 = new QPushButton(QStringLiteral("キャンセル"), GroupBox1);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(154, 140, 75, 25);
    Button1 = new QPushButton(QStringLiteral("OK"), GroupBox1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(238, 140, 75, 25);

    setTabOrder(ComboBox1, Edit1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Button2);
    setTabOrder(Button2, Button1);

    TMessageReporter& reporter = m_form1.Reporter();
    connect(Button1, &QPushButton::clicked, this, [this, &reporter] { Guarded(reporter, [this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this, &reporter] { Guarded(reporter, [this] { Button2Click(); }); });
}

void TForm4::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        Guarded(m_form1.Reporter(), [this] { FormShow(); });
}

void TForm4::closeEvent(QCloseEvent* event)
{
    Guarded(m_form1.Reporter(), [this] { FormClose(); });
    event->accept();
}

int TForm4::SelectedKind() const
{
    return ComboBox1->findText(ComboBox1->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void TForm4::FormShow()
{
    m_form1.setEnabled(false);
    const TFavoritePrefill prefill = RecogniseFavoritePage(WideToSjis(m_form1.Edit3->text()), PzConv1);
    ComboBox1->setCurrentIndex(prefill.Kind);
    ComboBox1->setEditText(ComboBox1->itemText(prefill.Kind));
    Edit1->setText(SjisToWide(prefill.Name));
    Edit2->setText(SjisToWide(prefill.Url));
}

void TForm4::Button1Click()
{
    const int kind = SelectedKind();
    const QString name = Edit1->text();
    const TFavoriteInputCheck check = CheckNewFavorite(kind, Utf16(name), Utf16(Edit2->text()));
    if (check.Problem != TFavoriteInputProblem::None) {
        // Nothing is written; the dialog stays open.
        m_form1.Reporter().ShowMessage(QString::fromUtf8(FavoriteInputMessage(check.Problem)));
        return;
    }
    AppendFavorite(m_form1.DataDir(), static_cast<TFavoriteKind>(kind), check.Entry);
    m_form1.Reporter().ShowMessage(QString::fromUtf8(FavoriteAddedMessage(name.toStdString())));
    m_form1.setEnabled(true);
    m_form1.Button1Click();
    hide();
}

void TForm4::Button2Click()
{
    FormClose();
}

void TForm4::FormClose()
{
    m_form1.setEnabled(true);
    hide();
}
