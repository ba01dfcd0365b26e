#include "favorites/Unit3.h"

#include "favorites/AddFavorite.h"
#include "shell/Unit1.h"
#include "shell/browser/WideText.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>

namespace {

std::u16string Utf16(const QString& text)
{
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<size_t>(text.size()));
}

// A word-wrapped help text. Lines are 14 pixels apart whatever the font
// asks for, so that the text fits its box also when the Japanese fallback
// font has a taller line than the design font.
QString WrappedText(const QString& text)
{
    return QStringLiteral("<p style=\"-qt-line-height-type:fixed; line-height:14px; margin:0\">") +
           text.toHtmlEscaped() + QStringLiteral("</p>");
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
}

}  // namespace

TForm3::TForm3(TForm1& form1, QWidget* parent)
    : QWidget(parent), m_form1(form1), m_model(form1.DataDir())
{
    setObjectName(QStringLiteral("Form3"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("お気に入りの整理"));
    setFont(TForm1::DesignFont());
    setFixedSize(kClientWidth, kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));

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
    GroupBox1 = new QGroupBox(this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(216, 2, 217, 113);
    Label2 = new QLabel(WrappedText(QStringLiteral(
                            "項目の並べ順を変更するためには、検索語、ユーザ、出品物のいずれかを選択したのち、"
                            "項目を選択し[▲ボタン]または[▼ボタン]を押してください。"
                            "項目を削除するためには[削除ボタン]を押してください。")),
                        GroupBox1);
    Label2->setTextFormat(Qt::RichText);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setGeometry(8, 8, 201, 100);

    Button4 = MakeButton(this, "Button4", QStringLiteral("検索語"), {216, 120, 69, 25});
    Button5 = MakeButton(this, "Button5", QStringLiteral("ユーザ"), {290, 120, 69, 25});
    Button6 = MakeButton(this, "Button6", QStringLiteral("出品物"), {364, 120, 69, 25});

    GroupBox2 = new QGroupBox(QStringLiteral("詳細の編集"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(216, 152, 217, 125);
    Label1 = new QLabel(QStringLiteral("名前 ："), GroupBox2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 24, 56, 20);
    Edit1 = new QLineEdit(GroupBox2);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(64, 24, 145, 20);
    Label3 = new QLabel(QStringLiteral("ＵＲＬ ："), GroupBox2);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(8, 54, 56, 20);
    Edit2 = new QLineEdit(GroupBox2);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(64, 54, 145, 20);
    Label1->setBuddy(Edit1);
    Label3->setBuddy(Edit2);
    Button8 = MakeButton(GroupBox2, "Button8", QStringLiteral("変更"), {134, 88, 75, 25});

    Button7 = MakeButton(this, "Button7", QStringLiteral("キャンセル"), {274, 288, 75, 25});
    OK = MakeButton(this, "OK", QStringLiteral("OK"), {358, 288, 75, 25});

    QWidget* const order[] = {ListBox1, Button1, Button2, Button3, Button4, Button5, Button6,
                              Edit1,    Edit2,   Button8, Button7, OK};
    for (size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    TMessageReporter& reporter = m_form1.Reporter();
    const auto onClick = [this, &reporter](QPushButton* button, void (TForm3::*handler)()) {
        connect(button, &QPushButton::clicked, this,
                [this, &reporter, handler] { Guarded(reporter, [this, handler] { (this->*handler)(); }); });
    };
    onClick(Button1, &TForm3::Button1Click);
    onClick(Button2, &TForm3::Button2Click);
    onClick(Button3, &TForm3::Button3Click);
    onClick(Button4, &TForm3::Button4Click);
    onClick(Button5, &TForm3::Button5Click);
    onClick(Button6, &TForm3::Button6Click);
    onClick(Button8, &TForm3::Button8Click);
    onClick(Button7, &TForm3::Button7Click);
    onClick(OK, &TForm3::OKClick);
    // A pick by mouse (also on the entry already highlighted) or keyboard:
    // a change of the selection, not of the focus frame, which the list
    // also sets on entry 0 when it gets the focus. The list's own refills
    // block these signals.
    connect(ListBox1, &QListWidget::itemSelectionChanged, this,
            [this, &reporter] { Guarded(reporter, [this] { ListBox1Click(); }); });
    connect(ListBox1, &QListWidget::itemClicked, this,
            [this, &reporter] { Guarded(reporter, [this] { ListBox1Click(); }); });
}

void TForm3::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TForm3::closeEvent(QCloseEvent* event)
{
    Guarded(m_form1.Reporter(), [this] { FormClose(); });
    event->accept();
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
    m_form1.setEnabled(false);
    Guarded(m_form1.Reporter(), [this] { Command([this] { m_model.Show(); }); });
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
    const TFavoriteInputCheck check = CheckFavoriteTexts(Utf16(Edit1->text()), Utf16(Edit2->text()));
    if (check.Problem != TFavoriteInputProblem::None) {
        m_form1.Reporter().ShowMessage(QString::fromUtf8(FavoriteInputMessage(check.Problem)));
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
    m_form1.setEnabled(true);
    m_form1.Button1Click();
    hide();
}

void TForm3::Button7Click()
{
    FormClose();
}

void TForm3::FormClose()
{
    m_form1.setEnabled(true);
    hide();
}

void TForm3::FillList()
{
    {
        const QSignalBlocker blocker(ListBox1);
        ListBox1->clear();
        for (const TFavoriteEntry& entry : m_model.CurrentList())
            ListBox1->addItem(SjisToWide(entry.Name));
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
