// A hosted browser for widget tests: records every operation, holds a
// settable location and document state, and fires the three events on
// request. Navigations offered through Offer() pass the request rules the
// way the real browser asks them.
#pragma once

#include "shell/browser/HostedBrowser.h"

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <algorithm>
#include <string>
#include <vector>

class TFakeBrowser final : public THostedBrowser {
public:
    TFakeBrowser() : m_widget(new QWidget) { m_widget->setObjectName("WebBrowser1"); }
    ~TFakeBrowser() override { delete m_widget.data(); }

    QWidget* Widget() override { return m_widget; }

    void Navigate(const QString& url) override { Navigations.append(url); }
    void GoBack() override
    {
        ++GoBackCount;
        if (GoBackThrows)
            throw TBrowserError(GoBackError);
    }
    void GoForward() override
    {
        ++GoForwardCount;
        if (GoForwardThrows)
            throw TBrowserError(GoBackError);
    }
    void Refresh() override { ++RefreshCount; }
    QString LocationURL() const override { return Location; }
    bool DocumentPresent() const override { return Document; }
    void AddRequestPolicy(RequestPolicy policy) override { m_policies.push_back(std::move(policy)); }
    void HideSecretParameter(const QString&, const QString&) override { }
    void AskToClose(std::function<void(bool)> answer) override
    {
        ++CloseQuestions;
        answer(PageAgreesToClose);
    }

    // Asks the rules in turn as the browser does before a main-frame
    // navigation; true when the navigation may go ahead.
    bool Offer(const QString& url) const
    {
        const std::string address = url.toStdString();
        return std::all_of(m_policies.begin(), m_policies.end(), [&](const auto& policy) { return policy(address); });
    }
    bool HasFilter() const { return !m_policies.empty(); }

    // Event helpers.
    void FireStatusText(const QString& text) { emit StatusTextChange(text); }
    void FireCommandState(int command, bool enable) { emit CommandStateChange(command, enable); }
    void FireNavigateComplete() { emit NavigateComplete2(); }
    // Sets the location and fires navigate complete, like a committed page.
    void Commit(const QString& url)
    {
        Location = url;
        Document = true;
        emit NavigateComplete2();
    }

    QStringList Navigations;
    int GoBackCount = 0;
    int GoForwardCount = 0;
    int RefreshCount = 0;
    int CloseQuestions = 0;
    bool PageAgreesToClose = true;
    QString Location;
    bool Document = false;
    bool GoBackThrows = false;
    bool GoForwardThrows = false;
    const char* GoBackError = "エラーを特定できません";

private:
    QPointer<QWidget> m_widget;
    std::vector<RequestPolicy> m_policies;
};
