// TForm5, the options dialog: the three flags of option.ini as check boxes.
#pragma once

#include "options/OptionMapping.h"
#include "ui/DialogForm.h"

class QCheckBox;

class TForm5 : public TDialogForm {
public:
    explicit TForm5(TMainWindowLink& form1, QWidget* parent = nullptr);

    static constexpr int kClientWidth = 344;
    static constexpr int kClientHeight = 238;

    QGroupBox* GroupBox1 = nullptr;
    QCheckBox* CheckBox1 = nullptr;  // auto-login at start
    QCheckBox* CheckBox2 = nullptr;  // show favorites at start
    QCheckBox* CheckBox3 = nullptr;  // bid self-restraint mode
    QLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr;  // OK
    QPushButton* Button2 = nullptr;  // キャンセル

    // Handlers; they may throw (the dialog's connections run them guarded).
    void FormShow() override;
    void Button1Click();
    void Button2Click();
    void FormClose() override;

    TOptionChecks Checks() const;

private:
    void SetChecks(const TOptionChecks& checks);
};
