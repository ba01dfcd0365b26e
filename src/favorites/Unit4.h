// TForm4, the add-favorite dialog: proposes the page in the main window's
// address box as a favorite and adds it to its kind's file.
#pragma once

#include "textconv/PzConv.h"
#include "ui/DialogForm.h"

class QComboBox;

class TForm4 : public TDialogForm {
public:
    explicit TForm4(TMainWindowLink& form1, QWidget* parent = nullptr);

    static constexpr int kClientWidth = 345;
    static constexpr int kClientHeight = 199;

    TPzConv PzConv1;

    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* ComboBox1 = nullptr;  // kind list
    QLineEdit* Edit1 = nullptr;      // name
    QLineEdit* Edit2 = nullptr;      // URL
    QPushButton* Button1 = nullptr;  // OK
    QPushButton* Button2 = nullptr;  // キャンセル

    // Handlers; they may throw (the dialog's connections run them guarded).
    void FormShow() override;
    void Button1Click();
    void Button2Click();
    void FormClose() override;

    // The kind list's selected kind: the index of the item its text shows,
    // -1 when the text was typed over to match none.
    int SelectedKind() const;
};
