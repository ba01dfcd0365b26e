// TForm3, the favorites organizer: one kind at a time as a list of names,
// with commands to reorder, change and delete entries. Works on its own
// copy of the three lists (TOrganizerModel) and writes all three files on OK
// and on every kind switch.
#pragma once

#include "favorites/Organizer.h"
#include "ui/DialogForm.h"

class QListWidget;

class TForm3 : public TDialogForm {
public:
    explicit TForm3(TMainWindowLink& form1, QWidget* parent = nullptr);

    static constexpr int kClientWidth = 440;
    static constexpr int kClientHeight = 325;

    QListWidget* ListBox1 = nullptr;
    QPushButton* Button1 = nullptr;  // 削除
    QPushButton* Button2 = nullptr;  // ▲
    QPushButton* Button3 = nullptr;  // ▼
    QGroupBox* GroupBox1 = nullptr;  // holds Label2
    QLabel* Label2 = nullptr;
    QPushButton* Button4 = nullptr;  // 検索語
    QPushButton* Button5 = nullptr;  // ユーザ
    QPushButton* Button6 = nullptr;  // 出品物
    QGroupBox* GroupBox2 = nullptr;  // 詳細の編集
    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit1 = nullptr;      // name
    QLineEdit* Edit2 = nullptr;      // URL
    QPushButton* Button8 = nullptr;  // 変更
    QPushButton* Button7 = nullptr;  // キャンセル
    QPushButton* OK = nullptr;

    // Handlers; they may throw (the dialog's connections run them guarded).
    void FormShow() override;
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void ListBox1Click();
    void Button8Click();
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void OKClick();
    void Button7Click();
    void FormClose() override;

    const TOrganizerModel& Model() const { return m_model; }

private:
    // Runs a model step guarded, then shows the model's state whatever the
    // step's outcome.
    template <class Step>
    void Command(Step&& step);
    void ChooseKind(TFavoriteKind kind);
    void FillList();
    void ShowHighlight();

    TOrganizerModel m_model;
};
