#include "options/Unit5.h"

#include "settings/AppFiles.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

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

}  // namespace

TForm5::TForm5(TMainWindowLink& form1, QWidget* parent)
    : TDialogForm(form1, "Form5", QStringLiteral("オプション設定"), kClientWidth, kClientHeight, parent)
{
    GroupBox1 = MakeGroupBox(this, "GroupBox1", QStringLiteral("オプション"), {8, 8, 329, 225});

    CheckBox1 =
        MakeCheckBox(GroupBox1, "CheckBox1", QStringLiteral("起動時にYahoo!Auctionに自動ログイン"), {16, 32, 225, 17});
    CheckBox2 = MakeCheckBox(GroupBox1, "CheckBox2", QStringLiteral("起動時にお気に入りを表示する"), {16, 56, 185, 17});
    CheckBox3 = MakeCheckBox(GroupBox1, "CheckBox3", QStringLiteral("入札自主規制モード（試運転）"), {16, 80, 169, 17});
    // 260 x 60 in the design font; the label may reach down to the buttons
    // when the fallback font needs a fifth line.
    Label1 = MakeNote(GroupBox1, "Label1",
                      QStringLiteral("入札自主規制モードにすると、入札を完了する前に入札手続を強制的に中断させます。"
                                     "勢いで入札しがちな人向けの自主規制のための機能です。"
                                     "自戒を促すための機能であり、入札をキャンセルする機能ではありませんのでご注意。"),
                      {32, 104, 260, 76});
    Button1 = MakeButton(GroupBox1, "Button1", QStringLiteral("OK"), {240, 184, 75, 25});
    Button2 = MakeButton(GroupBox1, "Button2", QStringLiteral("キャンセル"), {160, 184, 75, 25});

    // The form's tab order: CheckBox3, CheckBox1, OK, Cancel, CheckBox2.
    SetTabOrder({CheckBox3, CheckBox1, Button1, Button2, CheckBox2});

    ConnectClick(Button1, &TForm5::Button1Click);
    ConnectClick(Button2, &TForm5::Button2Click);
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
    Form1().SetMainWindowEnabled(false);
    // A failed reading changes no box.
    TAppOptions options;
    ReadOptions(Form1().DataDir(), options);
    SetChecks(ChecksFromOptions(options, Checks()));
}

void TForm5::Button1Click()
{
    const TAppOptions options = OptionsFromChecks(Checks());
    WriteOptions(Form1().DataDir(), options);
    Form1().SetBidRestraintFlag(options.BidRestraint);
    Dismiss();
}

void TForm5::Button2Click() { FormClose(); }

void TForm5::FormClose() { Dismiss(); }
