#include "favorites/Unit3.h"

#include "favorites/AddFavorite.h"
#include "ui/WideText.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

TForm3::TForm3(TMainWindowLink& form1, QWidget* parent)
    : TDialogForm(form1, "Form3", QStringLiteral("お気に入りの整理"), kClientWidth, kClientHeight, parent),
      m_model(form1.DataDir())
{
    // Left column: the list and its three commands.
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setGeometry(8, 8, 201, 273);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    Button1 = MakeButton(this, "Button1", QStringLiteral("削除"), {8, 288, 65, 25});
    Button2 = MakeButton(this, "Button2", QStringLiteral("▲"), {76, 288, 65, 25});
    Button3 = MakeButton(this, "Button3", QStringLiteral("▼"), {144, 288, 65, 25});
    Button1->setEnabled(false);
    Button2->setEnabled(false);
    Button3->setEnabled(false);

    // Right column: the help text, the kind buttons, the edit group, OK.
    GroupBox1 = MakeGroupBox(this, "GroupBox1", QString(), {216, 2, 217, 113});
    Label2 = MakeNote(GroupBox1, "Label2",
                      QStringLiteral("項目の並べ順を変更するためには、検索語、ユーザ、出品物のいずれかを選択したのち、"
                                     "項目を選択し[▲ボタン]または[▼ボタン]を押してください。"
                                     "項目を削除するためには[削除ボタン]を押してください。"),
                      {8, 8, 201, 100});

    Button4 = MakeButton(this, "Button4", QStringLiteral("検索語"), {216, 120, 69, 25});
    Button5 = MakeButton(this, "Button5", QStringLiteral("ユーザ"), {290, 120, 69, 25});
    Button6 = MakeButton(this, "Button6", QStringLiteral("出品物"), {364, 120, 69, 25});

    GroupBox2 = MakeGroupBox(this, "GroupBox2", QStringLiteral("詳細の編集"), {216, 152, 217, 125});
    Label1 = MakeLabel(GroupBox2, "Label1", QStringLiteral("名前 ："), QRect(8, 24, 56, 20));
    Edit1 = MakeEdit(GroupBox2, "Edit1", {64, 24, 145, 20});
    Label3 = MakeLabel(GroupBox2, "Label3", QStringLiteral("ＵＲＬ ："), QRect(8, 54, 56, 20));
    Edit2 = MakeEdit(GroupBox2, "Edit2", {64, 54, 145, 20});
    Label1->setBuddy(Edit1);
    Label3->setBuddy(Edit2);
    Button8 = MakeButton(GroupBox2, "Button8", QStringLiteral("変更"), {134, 88, 75, 25});

    Button7 = MakeButton(this, "Button7", QStringLiteral("キャンセル"), {274, 288, 75, 25});
    OK = MakeButton(this, "OK", QStringLiteral("OK"), {358, 288, 75, 25});

    SetTabOrder({ListBox1, Button1, Button2, Button3, Button4, Button5, Button6, Edit1, Edit2, Button8, Button7, OK});
    UseDialogKeys(OK, Button7);
    ListBox1->setAccessibleName(QStringLiteral("お気に入りの一覧"));
    Button2->setAccessibleName(QStringLiteral("上へ移動"));
    Button3->setAccessibleName(QStringLiteral("下へ移動"));

    ConnectClick(Button1, &TForm3::Button1Click);
    ConnectClick(Button2, &TForm3::Button2Click);
    ConnectClick(Button3, &TForm3::Button3Click);
    ConnectClick(Button4, &TForm3::Button4Click);
    ConnectClick(Button5, &TForm3::Button5Click);
    ConnectClick(Button6, &TForm3::Button6Click);
    ConnectClick(Button8, &TForm3::Button8Click);
    ConnectClick(Button7, &TForm3::Button7Click);
    ConnectClick(OK, &TForm3::OKClick);
    // A pick by mouse (also on the entry already highlighted) or keyboard:
    // a change of the selection, not of the focus frame, which the list
    // also sets on entry 0 when it gets the focus. The list's own refills
    // block these signals.
    ConnectGuarded(ListBox1, &QListWidget::itemSelectionChanged, [this] { ListBox1Click(); });
    ConnectGuarded(ListBox1, &QListWidget::itemClicked, [this] { ListBox1Click(); });
}

template <class Step>
void TForm3::Command(Step&& step)
{
    try {
        step();
    } catch (...) {
        FillList();
        throw;
    }
    FillList();
}

void TForm3::FormShow()
{
    Form1().SetMainWindowEnabled(false);
    Command([this] { m_model.Show(); });
}

void TForm3::ChooseKind(TFavoriteKind kind)
{
    Command([this, kind] { m_model.ChooseKind(kind); });
}

void TForm3::Button4Click() { ChooseKind(fkSearchWord); }
void TForm3::Button5Click() { ChooseKind(fkUser); }
void TForm3::Button6Click() { ChooseKind(fkExhibit); }

void TForm3::ListBox1Click()
{
    const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = ListBox1->row(selected.front());
    m_model.Pick(static_cast<size_t>(row));
    if (const auto current = m_model.CurrentEntry()) {
        const TFavoriteEntry& entry = m_model.CurrentList().at(*current);
        Edit1->setText(SjisToWide(entry.Name));
        Edit2->setText(SjisToWide(entry.Url));
    }
}

void TForm3::Button8Click()
{
    if (!m_model.CurrentEntry())
        return;
    const TFavoriteInputCheck check =
        CheckFavoriteTexts(Edit1->text().toStdU16String(), Edit2->text().toStdU16String());
    if (check.Problem != TFavoriteInputProblem::None) {
        Form1().Reporter().ShowMessage(QString::fromUtf8(FavoriteInputMessage(check.Problem)));
        return;
    }
    Command([this, &check] { m_model.Change(check.Entry); });
}

void TForm3::Button1Click()
{
    Command([this] { m_model.Delete(); });
}

void TForm3::Button2Click()
{
    Command([this] { m_model.MoveUp(); });
}

void TForm3::Button3Click()
{
    Command([this] { m_model.MoveDown(); });
}

void TForm3::OKClick()
{
    m_model.Save();
    Form1().SetMainWindowEnabled(true);
    Form1().ReloadFavorites();
    hide();
}

void TForm3::Button7Click() { FormClose(); }

void TForm3::FormClose() { Dismiss(); }

void TForm3::FillList()
{
    {
        const QSignalBlocker blocker(ListBox1);
        ListBox1->clear();
        for (const TFavoriteEntry& entry : m_model.CurrentList())
            ListBox1->addItem(SjisToWide(FavoriteLabel(entry.Name)));
    }
    ShowHighlight();
    const bool enabled = m_model.CommandsEnabled();
    Button1->setEnabled(enabled);
    Button2->setEnabled(enabled);
    Button3->setEnabled(enabled);
}

void TForm3::ShowHighlight()
{
    const QSignalBlocker blocker(ListBox1);
    if (const auto highlight = m_model.Highlight()) {
        ListBox1->setCurrentRow(static_cast<int>(*highlight));
    } else {
        ListBox1->setCurrentRow(-1);
        ListBox1->clearSelection();
    }
}
