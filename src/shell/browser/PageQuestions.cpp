#include "shell/browser/PageQuestions.h"

#include <QAuthenticator>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWebEngineCertificateError>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <memory>

namespace {

// The engine's own question before a page is left, which it asks through
// the page's confirm hook.
constexpr const char* kEngineUnloadQuestion =
    "Are you sure you want to leave this page? Changes that you made may not be saved.";

// What a site sends is shown up to chars characters, then "…".
QString Shortened(const QString& text, int chars)
{
    return text.size() <= chars ? text : text.left(chars) + QStringLiteral("…");
}

// A question with the program's own Japanese buttons; true for the first.
bool Ask(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text, const QString& yes,
         const QString& no)
{
    QMessageBox box(icon, title, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    QPushButton* yesButton = box.addButton(yes, QMessageBox::AcceptRole);
    QPushButton* noButton = box.addButton(no, QMessageBox::RejectRole);
    box.setDefaultButton(noButton);
    box.setEscapeButton(noButton);
    box.exec();
    return box.clickedButton() == yesButton;
}

}  // namespace

TSchemeRoute RouteForScheme(const QString& scheme)
{
    static const QStringList engine = {
        QStringLiteral("http"), QStringLiteral("https"), QStringLiteral("about"),      QStringLiteral("data"),
        QStringLiteral("blob"), QStringLiteral("file"),  QStringLiteral("javascript"), QStringLiteral("qrc"),
        QStringLiteral("ws"),   QStringLiteral("wss"),   QStringLiteral("filesystem"), QStringLiteral("chrome-error"),
    };
    static const QStringList never = {
        QStringLiteral("view-source"),      QStringLiteral("chrome"),           QStringLiteral("devtools"),
        QStringLiteral("chrome-extension"), QStringLiteral("chrome-untrusted"),
    };
    const QString s = scheme.toLower();
    if (s.isEmpty() || engine.contains(s))
        return TSchemeRoute::Engine;
    if (never.contains(s))
        return TSchemeRoute::Never;
    return TSchemeRoute::OtherProgram;
}

QString HostForTitle(const QUrl& origin)
{
    const QString host = origin.host();
    return host.isEmpty() ? QStringLiteral("このページ") : host;
}

TPageQuestions* TPageQuestions::Attach(QWebEnginePage* page) { return new TPageQuestions(page); }

TPageQuestions* TPageQuestions::Of(const QWebEnginePage* page)
{
    return page ? page->findChild<TPageQuestions*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

TPageQuestions::TPageQuestions(QWebEnginePage* page) : QObject(page), m_page(page)
{
    // Scripts may copy (a page's コピー button); pasting stays the user's.
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, true);
    page->settings()->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);

    m_closeTimer.setSingleShot(true);
    connect(&m_closeTimer, &QTimer::timeout, this, [this] { EndClose(true); });
    connect(page, &QWebEnginePage::windowCloseRequested, this, [this] { EndClose(true); });
    connect(page, &QWebEnginePage::authenticationRequired, this,
            [this](const QUrl& url, QAuthenticator* authenticator) { AskLogin(url.host(), authenticator, false); });
    connect(page, &QWebEnginePage::proxyAuthenticationRequired, this,
            [this](const QUrl&, QAuthenticator* authenticator, const QString& proxyHost) {
                AskLogin(proxyHost, authenticator, true);
            });
    connect(page, &QWebEnginePage::printRequested, this, &TPageQuestions::Print);
    connect(page, &QWebEnginePage::certificateError, this, &TPageQuestions::OnCertificateError);
}

QWidget* TPageQuestions::Parent() const
{
    QWebEngineView* view = QWebEngineView::forPage(m_page);
    return view ? view->window() : nullptr;
}

void TPageQuestions::Alert(const QUrl& origin, const QString& message)
{
    QMessageBox box(QMessageBox::Information, HostForTitle(origin), Shortened(message, kMessageChars),
                    QMessageBox::NoButton, Parent());
    box.setTextFormat(Qt::PlainText);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

bool TPageQuestions::Confirm(const QUrl& origin, const QString& message)
{
    const bool unload = message == QLatin1String(kEngineUnloadQuestion) ||
                        message == QCoreApplication::translate("QWebEnginePage", kEngineUnloadQuestion);
    if (!unload)
        return Ask(Parent(), QMessageBox::Question, HostForTitle(origin), Shortened(message, kMessageChars),
                   QStringLiteral("OK"), QStringLiteral("キャンセル"));

    // The user decides without a clock running on the close.
    const bool closing = static_cast<bool>(m_closeAnswer);
    m_closeTimer.stop();
    const bool leave = Ask(Parent(), QMessageBox::Warning, HostForTitle(origin),
                           QStringLiteral("このページを離れますか？\n入力した内容は保存されない可能性があります。"),
                           QStringLiteral("離れる"), QStringLiteral("このページにとどまる"));
    if (closing) {
        if (leave)
            m_closeTimer.start(kCloseWaitMs);
        else
            EndClose(false);
    }
    return leave;
}

bool TPageQuestions::Prompt(const QUrl& origin, const QString& message, const QString& defaultValue, QString* result)
{
    QInputDialog dialog(Parent());
    dialog.setWindowTitle(HostForTitle(origin));
    dialog.setLabelText(Shortened(message, kMessageChars));
    dialog.setTextValue(defaultValue);
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *result = dialog.textValue();
    return true;
}

QStringList TPageQuestions::ChooseFiles(bool multiple)
{
    QFileDialog dialog(Parent(), QStringLiteral("アップロードするファイルを選択"), QDir::homePath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("開く"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("キャンセル"));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

bool TPageQuestions::OpensHere(const QUrl& url)
{
    switch (RouteForScheme(url.scheme())) {
    case TSchemeRoute::Engine:
        return true;
    case TSchemeRoute::Never:
        return false;
    case TSchemeRoute::OtherProgram:
        break;
    }
    // One question at a time; a page's burst of such links asks once.
    if (!m_askingOtherProgram) {
        m_askingOtherProgram = true;
        QMetaObject::invokeMethod(
            this, [this, url] { AskOtherProgram(url); }, Qt::QueuedConnection);
    }
    return false;
}

void TPageQuestions::AskOtherProgram(const QUrl& url)
{
    const QString scheme = Shortened(url.scheme(), 40);
    const bool yes = Ask(Parent(), QMessageBox::Question, HostForTitle(m_page->url()),
                         QStringLiteral("%1: のリンクを外部アプリケーションで開きますか？").arg(scheme),
                         QStringLiteral("はい"), QStringLiteral("いいえ"));
    m_askingOtherProgram = false;
    if (yes)
        QDesktopServices::openUrl(url);
}

void TPageQuestions::AskLogin(const QString& host, QAuthenticator* authenticator, bool proxy)
{
    QDialog dialog(Parent());
    dialog.setWindowTitle(QStringLiteral("認証が必要です"));
    auto* layout = new QVBoxLayout(&dialog);
    const QString who = proxy ? QStringLiteral("プロキシ %1").arg(Shortened(host, 256)) : Shortened(host, 256);
    auto* text = new QLabel(QStringLiteral("%1 がユーザー名とパスワードを求めています。").arg(who));
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    layout->addWidget(text);
    if (!authenticator->realm().isEmpty()) {
        auto* realm = new QLabel(QStringLiteral("領域: %1").arg(Shortened(authenticator->realm(), 256)));
        realm->setTextFormat(Qt::PlainText);
        realm->setWordWrap(true);
        layout->addWidget(realm);
    }
    auto* form = new QFormLayout;
    auto* user = new QLineEdit;
    user->setObjectName(QStringLiteral("user"));
    auto* password = new QLineEdit;
    password->setObjectName(QStringLiteral("password"));
    password->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("ユーザー名:"), user);
    form->addRow(QStringLiteral("パスワード:"), password);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (dialog.exec() == QDialog::Accepted) {
        authenticator->setUser(user->text());
        authenticator->setPassword(password->text());
    } else {
        // A null authenticator cancels the login.
        *authenticator = QAuthenticator();
    }
}

void TPageQuestions::AskToClose(std::function<void(bool agreed)> answer)
{
    if (m_closeAnswer)
        return;  // already asking; the first answer closes
    m_closeAnswer = std::move(answer);
    m_closeTimer.start(kCloseWaitMs);
    m_page->triggerAction(QWebEnginePage::RequestClose);
}

void TPageQuestions::EndClose(bool agreed)
{
    m_closeTimer.stop();
    if (!m_closeAnswer)
        return;
    const auto answer = std::exchange(m_closeAnswer, {});
    answer(agreed);
}

void TPageQuestions::Print()
{
    QWebEngineView* view = QWebEngineView::forPage(m_page);
    if (!view || m_printing)
        return;
    auto printer = std::make_shared<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), Parent());
    dialog.setWindowTitle(QStringLiteral("印刷"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_printing = true;
    // The printer lives until the engine has printed.
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(view, &QWebEngineView::printFinished, this, [this, printer, connection](bool) {
        m_printing = false;
        disconnect(*connection);
    });
    view->print(printer.get());
}

// Every certificate error is refused; the user learns why in plain words,
// once while the message is open.
void TPageQuestions::OnCertificateError(const QWebEngineCertificateError& error)
{
    auto copy = error;
    copy.rejectCertificate();
    if (m_certificateShown)
        return;
    m_certificateShown = true;
    auto* box = new QMessageBox(QMessageBox::Warning, QStringLiteral("セキュリティの警告"),
                                QStringLiteral("%1 のサーバー証明書を確認できなかったため、ページを開きませんでした。")
                                    .arg(Shortened(error.url().host(), 256)),
                                QMessageBox::NoButton, Parent());
    box->setTextFormat(Qt::PlainText);
    box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QObject::destroyed, this, [this] { m_certificateShown = false; });
    box->open();
}
