#include "ui/DialogForm.h"

#include "ui/DesignFont.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <limits>

namespace {

template <class Widget>
Widget* Placed(Widget* widget, const char* name, QRect geometry)
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setGeometry(geometry);
    return widget;
}

}  // namespace

TDialogForm::TDialogForm(TMainWindowLink& form1, const char* name, const QString& caption, int clientWidth,
                         int clientHeight, QWidget* parent)
    : QWidget(parent), m_form1(form1)
{
    setObjectName(QString::fromLatin1(name));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(caption);
    setFont(DesignFont());
    setFixedSize(clientWidth, clientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(clientWidth / 2, clientHeight / 2));
}

void TDialogForm::showEvent(QShowEvent* event)
{
    if (!event->spontaneous())
        if (const QWidget* owner = parentWidget())
            move(owner->window()->frameGeometry().center() -
                 QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    QWidget::showEvent(event);
    if (!event->spontaneous())
        RunGuarded(m_form1.Reporter(), [this] { FormShow(); });
}

void TDialogForm::closeEvent(QCloseEvent* event)
{
    RunGuarded(m_form1.Reporter(), [this] { FormClose(); });
    event->accept();
}

void TDialogForm::UseDialogKeys(QAbstractButton* confirm, QAbstractButton* cancel)
{
    m_confirm = confirm;
    m_cancel = cancel;
}

void TDialogForm::keyPressEvent(QKeyEvent* event)
{
    // Keys reach the dialog when the focused control leaves them unused.
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    QAbstractButton* press = nullptr;
    if (plain && event->key() == Qt::Key_Escape)
        press = m_cancel;
    else if (plain && enter && m_cancel) {
        QWidget* focus = focusWidget();
        const auto* combo = qobject_cast<QComboBox*>(focus);
        if (qobject_cast<QLineEdit*>(focus) || (combo && combo->isEditable()))
            press = m_confirm;
        else if (auto* button = qobject_cast<QAbstractButton*>(focus))
            press = button;
    }
    if (press && press->isEnabled() && press->isVisible()) {
        press->click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TDialogForm::Dismiss()
{
    m_form1.SetMainWindowEnabled(true);
    hide();
}

void TDialogForm::ConnectClick(QAbstractButton* button, std::function<void()> handler)
{
    ConnectGuarded(button, &QAbstractButton::clicked, std::move(handler));
}

void TDialogForm::SetTabOrder(std::initializer_list<QWidget*> order)
{
    for (auto it = order.begin(); it != order.end() && it + 1 != order.end(); ++it)
        setTabOrder(*it, *(it + 1));
}

QGroupBox* TDialogForm::MakeGroupBox(QWidget* parent, const char* name, const QString& title, QRect geometry)
{
    return Placed(new QGroupBox(title, parent), name, geometry);
}

QPushButton* TDialogForm::MakeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    return Placed(new QPushButton(caption, parent), name, geometry);
}

QLabel* TDialogForm::MakeLabel(QWidget* parent, const char* name, const QString& text, QPoint topLeft)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(topLeft);
    label->adjustSize();
    return label;
}

QLabel* TDialogForm::MakeLabel(QWidget* parent, const char* name, const QString& text, QRect geometry)
{
    return Placed(new QLabel(text, parent), name, geometry);
}

QLabel* TDialogForm::MakeNote(QWidget* parent, const char* name, const QString& text, QRect geometry)
{
    QLabel* label = MakeLabel(parent, name,
                              QStringLiteral("<p style=\"-qt-line-height-type:fixed; line-height:14px; margin:0\">") +
                                  text.toHtmlEscaped() + QStringLiteral("</p>"),
                              geometry);
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLineEdit* TDialogForm::MakeEdit(QWidget* parent, const char* name, QRect geometry, const QString& text)
{
    // An edit box takes whatever it is given: the default length limit of
    // 32,767 would cut a long URL silently, and 変更 or OK would store it cut.
    QLineEdit* edit = Placed(new QLineEdit(text, parent), name, geometry);
    edit->setMaxLength(std::numeric_limits<int>::max());
    return edit;
}
