#include "options/Unit5.h"

#include "settings/AppFiles.h"
#include "shell/Unit1.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

#include <algorithm>

namespace {

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    // A fallback font wider than the design font widens the box to show
    // its whole caption; place and height stay.
    geometry.setWidth(std::max(geometry.width(), box->sizeHint().width()));
    box->setGeometry(geometry);
    return box;
}

// A word-wrapped help text. Lines are 14 pixels apart whatever the font
// asks for, so that the text keeps its designed place also when the
// Japanese fallback font has a taller line than the design font.
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

TForm5::TForm5(TForm1& form1, QWidget* parent) : QWidget(parent), m_form1(form1)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("オプション設定"));
    setFont(TForm1::DesignFont());
    setFixedSize(kClientWidth, kClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(kClientWidth / 2, kClientHeight / 2));

    GroupBox1 = new QGroupBox(QStringLiteral("オプション"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 8, 329, 225);

    CheckBox1 = MakeCheckBox(GroupBox1, "CheckBox1", QStringLiteral("起動時にYahoo!Auctionに自動ログイン"),
                             {16, 32, 225, 17});
    CheckBox2 = MakeCheckBox(GroupBox1, "CheckBox2", QStringLiteral("起動時にお気に入りを表示する"),
                             {16, 56, 185, 17});
    CheckBox3 = MakeCheckBox(GroupBox1, "CheckBox3", QStringLiteral("入札自主規制モード（試運転）"),
                             {16, 80, 169, 17});
    Label1 = new QLabel(WrappedText(QStringLiteral(
                            "入札自主規制モードにすると、入札を完了する前に入札手続を強制的に中断させます。"
                            "勢いで入札しがちな人向けの自主規制のための機能です。"
                            "自戒を促すための機能であり、入札をキャンセルする機能ではありませんのでご注意。")),
                        GroupBox1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setTextFormat(Qt::RichText);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // 260 x 60 in the design font; the label may reach down to the buttons
    // when the fallback font needs a fifth line.
    Label1->setGeometry(32, 104, 260, 76);
    Button1 = MakeButton(GroupBox1, "Button1", QStringLiteral("OK"), {240, 184, 75, 25});
    Button2 = MakeButton(GroupBox1, "Button2", QStringLiteral("キャンセル"), {160, 184, 75, 25});

    // The form's tab order: CheckBox3, CheckBox1, OK, Cancel, CheckBox2.
    setTabOrder(CheckBox3, CheckBox1);
    setTabOrder(CheckBox1, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, CheckBox2);

    TMessageReporter& reporter = m_form1.Reporter();
    connect(Button1, &QPushButton::clicked, this, [this, &reporter] { Guarded(reporter, [this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this, &reporter] { Guarded(reporter, [this] { Button2Click(); }); });
}

void TForm5::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        Guarded(m_form1.Reporter(), [this] { FormShow(); });
}

void TForm5::closeEvent(QCloseEvent* event)
{
    Guarded(m_form1.Reporter(), [this] { FormClose(); });
    event->accept();
}

TOptionChecks TForm5::Checks() const
{
    return {CheckBox1->isChecked(), CheckBox2->isChecked(), CheckBox3->isChecked()};
}

void TForm5::SetChecks(const TOptionChecks& checks)
{
    CheckBox1->setChecked(checks[0]);
    CheckBox2->setChecked(checks[1]);
    CheckBox3->setChecked(checks[2]);
}

void TForm5::FormShow()
{
    m_form1.setEnabled(false);
    // A failed reading changes no box.
    TAppOptions options;
    ReadOptions(m_form1.DataDir(), options);
    SetChecks(ChecksFromOptions(options, Checks()));
}

void TForm5::Button1Click()
{
    const TAppOptions options = OptionsFromChecks(Checks());
    WriteOptions(m_form1.DataDir(), options);
    m_form1.setEnabled(true);
    m_form1.BidRestraintFlag = options.BidRestraint;
    hide();
}

void TForm5::Button2Click()
{
    FormClose();
}

void TForm5::FormClose()
{
    m_form1.setEnabled(true);
    hide();
}
