// TDialogForm, what the four dialogs of the main window share: a fixed-size
// dialog window owned by the main window (above it, centred on it each time
// it is shown, no taskbar entry of its own), FormShow run when the
// program shows it, FormClose run when the user closes it from its title bar
// (the dialog is hidden, never destroyed), handlers connected through the
// main window's error display, and the control factories.
#pragma once

#include "ui/MainWindowLink.h"
#include "ui/Reporter.h"

#include <QRect>
#include <QString>
#include <QWidget>
#include <functional>
#include <initializer_list>

class QAbstractButton;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

class TDialogForm : public QWidget {
public:
    // The main window (Form1), through what a dialog may ask of it.
    TMainWindowLink& Form1() const { return m_form1; }

protected:
    // A dialog window owned by parent, the main window (without one, a
    // window of its own centred on the primary screen); created hidden. The
    // main window keeps it enabled while it disables itself. name is the
    // object name, caption the title; the client area is clientWidth x
    // clientHeight, fixed.
    TDialogForm(TMainWindowLink& form1, const char* name, const QString& caption, int clientWidth, int clientHeight,
                QWidget* parent);

    // Run guarded: FormShow when the program shows the dialog, FormClose
    // when the user closes it.
    virtual void FormShow() = 0;
    virtual void FormClose() = 0;

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    // The keys of a dialog: Esc presses cancel; Enter in an edit box
    // presses confirm (when given); Enter on a button presses that button.
    void UseDialogKeys(QAbstractButton* confirm, QAbstractButton* cancel);

    // Gives the main window its input back and hides the dialog.
    void Dismiss();

    // Runs handler, guarded, on every click of button.
    void ConnectClick(QAbstractButton* button, std::function<void()> handler);
    template <class Form>
    void ConnectClick(QAbstractButton* button, void (Form::*handler)())
    {
        ConnectClick(button, [form = static_cast<Form*>(this), handler] { (form->*handler)(); });
    }
    // Runs handler, guarded, on every emission of signal.
    template <class Sender, class Signal>
    void ConnectGuarded(const Sender* sender, Signal signal, std::function<void()> handler)
    {
        connect(sender, signal, this,
                [this, handler = std::move(handler)] { RunGuarded(m_form1.Reporter(), handler); });
    }

    // Tab goes from each widget to the next, in the order given.
    void SetTabOrder(std::initializer_list<QWidget*> order);

    // Controls by object name and place.
    static QGroupBox* MakeGroupBox(QWidget* parent, const char* name, const QString& title, QRect geometry);
    static QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry);
    // A label sized to its text.
    static QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QPoint topLeft);
    static QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry);
    // A word-wrapped help text whose lines are 14 pixels apart whatever the
    // font asks for, so that it keeps its designed place also when the
    // Japanese fallback font has a taller line than the design font.
    static QLabel* MakeNote(QWidget* parent, const char* name, const QString& text, QRect geometry);
    // An edit box without a length limit.
    static QLineEdit* MakeEdit(QWidget* parent, const char* name, QRect geometry, const QString& text = {});

private:
    TMainWindowLink& m_form1;
    QAbstractButton* m_confirm = nullptr;
    QAbstractButton* m_cancel = nullptr;
};
