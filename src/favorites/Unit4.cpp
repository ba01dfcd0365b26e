#include "favorites/Unit4.h"

#include "favorites/AddFavorite.h"
#include "ui/WideText.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TForm4::TForm4(TMainWindowLink& form1, QWidget* parent)
    : TDialogForm(form1, "Form4", QStringLiteral("お気に入りの追加"), kClientWidth, kClientHeight, parent)
{
    PzConv1.JisByteCodeType = btAscii;
    PzConv1.JisKanaConvType = ktZenWithDaku;

    GroupBox1 = MakeGroupBox(this, "GroupBox1", QStringLiteral("お気に入りの追加"), {8, 8, 329, 183});
    Label1 = MakeLabel(GroupBox1, "Label1", QStringLiteral("種類 ："), QRect(16, 28, 60, 20));
    Label2 = MakeLabel(GroupBox1, "Label2", QStringLiteral("名前 ："), QRect(16, 60, 60, 20));
    Label3 = MakeLabel(GroupBox1, "Label3", QStringLiteral("ＵＲＬ ："), QRect(16, 92, 60, 20));

    ComboBox1 = new QComboBox(GroupBox1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    for (TFavoriteKind kind : kFavoriteKinds)
        ComboBox1->addItem(QString::fromUtf8(FavoriteKindCaption(kind)));
    ComboBox1->setCurrentIndex(-1);
    ComboBox1->setEditText(QStringLiteral("選択して下さい"));
    ComboBox1->setGeometry(80, 26, 145, 20);

    Edit1 = MakeEdit(GroupBox1, "Edit1", {80, 58, 233, 20});
    Edit2 = MakeEdit(GroupBox1, "Edit2", {80, 90, 233, 20});
    Label1->setBuddy(ComboBox1);
    Label2->setBuddy(Edit1);
    Label3->setBuddy(Edit2);

    Button2 = MakeButton(GroupBox1, "Button2", QStringLiteral("キャンセル"), {154, 140, 75, 25});
    Button1 = MakeButton(GroupBox1, "Button1", QStringLiteral("OK"), {238, 140, 75, 25});

    SetTabOrder({ComboBox1, Edit1, Edit2, Button2, Button1});
    UseDialogKeys(Button1, Button2);

    ConnectClick(Button1, &TForm4::Button1Click);
    ConnectClick(Button2, &TForm4::Button2Click);
}

int TForm4::SelectedKind() const
{
    return ComboBox1->findText(ComboBox1->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void TForm4::FormShow()
{
    Form1().SetMainWindowEnabled(false);
    const TFavoritePrefill prefill = RecogniseFavoritePage(WideToSjis(Form1().ShownAddress()), PzConv1);
    ComboBox1->setCurrentIndex(prefill.Kind);
    ComboBox1->setEditText(ComboBox1->itemText(prefill.Kind));
    Edit1->setText(SjisToWide(prefill.Name));
    Edit2->setText(SjisToWide(prefill.Url));
}

void TForm4::Button1Click()
{
    const int kind = SelectedKind();
    const QString name = Edit1->text();
    const TFavoriteInputCheck check = CheckNewFavorite(kind, name.toStdU16String(), Edit2->text().toStdU16String());
    if (check.Problem != TFavoriteInputProblem::None) {
        // Nothing is written; the dialog stays open.
        Form1().Reporter().ShowMessage(QString::fromUtf8(FavoriteInputMessage(check.Problem)));
        return;
    }
    // An address the kind already holds is added only when the user says
    // so; otherwise nothing is written and the dialog stays open.
    const bool added = AppendFavorite(Form1().DataDir(), static_cast<TFavoriteKind>(kind), check.Entry, [this] {
        return Form1().Reporter().AskYesNo(QString::fromUtf8(kDuplicateFavoriteQuestion));
    });
    if (!added)
        return;
    Form1().Reporter().ShowMessage(QString::fromUtf8(FavoriteAddedMessage(name.toStdString())));
    Form1().SetMainWindowEnabled(true);
    Form1().ReloadFavorites();
    hide();
}

void TForm4::Button2Click() { FormClose(); }

void TForm4::FormClose() { Dismiss(); }
