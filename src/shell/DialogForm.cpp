#include "shell/DialogForm.h"

#include "shell/Unit1.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

TDialogForm::TDialogForm(TForm1& form1, const char* name, const QString& caption, int clientWidth,
                         int clientHeight, QWidget* parent)
    : QWidget(parent), m_form1(form1)
{
    setObjectName(QString::fromLatin1(name));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(caption);
    setFont(TForm1::DesignFont());
    setFixedSize(clientWidth, clientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(clientWidth / 2, clientHeight / 2));
}

void TDialogForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        RunGuarded([this] { FormShow(); });
}

void TDialogForm::closeEvent(QCloseEvent* event)
{
    RunGuarded([this] { FormClose(); });
    event->accept();
}

void TDialogForm::Dismiss()
{
    m_form1.setEnabled(true);
    hide();
}

void TDialogForm::ConnectClick(QAbstractButton* button, std::function<void()> handler)
{
    ConnectGuarded(button, &QAbstractButton::clicked, std::move(handler));
}

void TDialogForm::RunGuarded(const std::function<void()>& handler) const
{
    Guarded(m_form1.Reporter(), handler);
}

QGroupBox* TDialogForm::MakeGroupBox(QWidget* parent, const char* name, const QString& title, QRect geometry)
{
    auto* box = new QGroupBox(title, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setGeometry(geometry);
    return box;
}

QPushButton* TDialogForm::MakeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    return button;
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
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    return label;
}

QLabel* TDialogForm::MakeNote(QWidget* parent, const char* name, const QString& text, QRect geometry)
{
    auto* label = new QLabel(QStringLiteral("<p style=\"-qt-line-height-type:fixed; line-height:14px; margin:0\">") +
                                 text.toHtmlEscaped() + QStringLiteral("</p>"),
                             parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(geometry);
    return label;
}

QLineEdit* TDialogForm::MakeEdit(QWidget* parent, const char* name, QRect geometry, const QString& text)
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setGeometry(geometry);
    return edit;
}
