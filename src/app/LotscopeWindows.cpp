#include "app/LotscopeWindows.h"

#include "accounts/Unit2.h"
#include "favorites/Unit3.h"
#include "favorites/Unit4.h"
#include "options/Unit5.h"

#include <QApplication>

void SetApplicationTitle(QApplication& app)
{
    app.setApplicationName(kApplicationTitle);
    app.setApplicationDisplayName(kApplicationTitle);
}

TLotscopeWindows CreateWindows(const TEndpoints& endpoints, THostedBrowser* browser,
                               TMessageReporter& reporter, const std::filesystem::path& dataDir)
{
    TLotscopeWindows w;
    w.Form1 = std::make_unique<TForm1>(endpoints, browser, reporter, dataDir);
    w.Form2 = std::make_unique<TForm2>(*w.Form1);
    w.Form3 = std::make_unique<TForm3>(*w.Form1);
    w.Form4 = std::make_unique<TForm4>(*w.Form1);
    w.Form5 = std::make_unique<TForm5>(*w.Form1);
    for (QWidget* dialog : {w.Form2.get(), w.Form3.get(), w.Form4.get(), w.Form5.get()})
        dialog->setAttribute(Qt::WA_QuitOnClose, false);
    w.Form1->SetDialogs(w.Form2.get(), w.Form3.get(), w.Form4.get(), w.Form5.get());
    return w;
}
